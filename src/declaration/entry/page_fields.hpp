#pragma once
// The entry fields of the pages, as tables of field descriptions: where the
// field lies (offsets from the page's origin, or an absolute column), the
// variable it edits, its picture, its check (VALID) and its condition
// (WHEN), both as expression texts.
#include <span>
#include <string_view>

namespace qv::declaration {

struct PageField {
    int row;
    int col;
    const char* var;
    const char* picture = "";
    const char* valid = "";
    const char* when = "";
    bool absolute = false;   // col is a screen column, not an offset
    char type = 'N';         // the blank value the variable starts with:
    int width = 0;           // N 0, C `width` blanks, D an empty date
};

// Forms by their number: 31, 32 (page 3), 56, 57, 571 (estate closing,
// judicial), 572 (estate closing, deed), 58, 581 (departure data), 6, 70
// (simplified model), 71 (complete model), 10, 11, 14, 15.
std::span<const PageField> page_form(int number);
// Values only shown on a page (same numbering; 6, 31, 32).
std::span<const PageField> page_display(int number);
// Every form and display, for creating the variables they need.
std::span<const int> form_numbers();

}  // namespace qv::declaration
