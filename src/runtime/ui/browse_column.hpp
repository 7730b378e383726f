#pragma once
// One column of a browse: what it shows (a display block), how (picture,
// width) and in which colours (pairs of the browse's colour list, possibly
// chosen per cell by a colour block).
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#include "runtime/core/value.hpp"

namespace qv::rt {

// A pair of 1-based indices into the browse's colour list: the colour of an
// ordinary cell and the colour of the highlighted (current) cell.
struct ColorPair {
    int standard = 1;
    int enhanced = 2;
    bool operator==(const ColorPair&) const = default;
};

class BrowseColumn {
public:
    using Block = std::function<Value()>;
    using ColorBlock = std::function<ColorPair(const Value&)>;

    BrowseColumn() = default;
    BrowseColumn(std::string heading, Block block)
        : heading(std::move(heading)), block(std::move(block)) {}

    // Heading and footing may span several rows, separated by ";".
    std::string heading;
    std::string footing;
    Block block;                  // the cell's value on the current row
    std::string picture;          // TRANSFORM picture; empty: default layout
    int width = 0;                // 0: widest of heading, footing and value
    ColorPair colors{1, 2};       // the column's default pair
    ColorBlock color_block;       // optional per-cell pair, given the value
    // Separators for this column (the one at its left edge); empty strings
    // take the browse's.
    std::string col_sep, head_sep, foot_sep;
    std::string cargo;            // free slot for the caller (e.g. a field name)

    // The cell's text at the current row of the data source, not padded.
    std::string text() const;
    std::string text_of(const Value& v) const;
};

// The lines of a heading or footing split at ";".
std::vector<std::string> split_caption(std::string_view caption);

}  // namespace qv::rt
