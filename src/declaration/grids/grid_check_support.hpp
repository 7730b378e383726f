#pragma once
// What the grid checks share: their one-button notices, the description of
// a code shown under the cell, the work area put back afterwards and a row
// written under its lock.
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "runtime/core/value.hpp"
#include "runtime/table/table.hpp"

namespace qv::declaration::grids {

// A message box of these lines with one "Ok" button.
void notice(const std::vector<std::string>& lines);

// A text in a box on the row below the cell being edited (row 17 when the
// cell is low on the screen), right-aligned near column 76.
void show_below_cell(std::string_view text);

// Row of the cell being edited: the grid's, else the entry field's.
int editing_row();

// Puts the work area selected at construction back at destruction.
class KeepArea {
public:
    KeepArea();
    ~KeepArea();
    KeepArea(const KeepArea&) = delete;
    KeepArea& operator=(const KeepArea&) = delete;

private:
    int back_;
};

// Writes fields of the current row under its record lock; false when the
// row cannot be locked (nothing written).
bool put_row(rt::table::Table& t, std::initializer_list<std::pair<std::string_view, rt::Value>> fields);

// Trimmed text of a value (blank for anything not text).
std::string trimmed(const rt::Value& v);

}  // namespace qv::declaration::grids
