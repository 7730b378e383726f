#pragma once
// The static frames of the declaration's pages: a bordered window with its
// titles and line labels, painted before the values and entry fields are
// placed on it. A frame is data (frame_texts.cpp); the painter opens window 3
// on its box and records the box's top row and left column in ALJ / ACJ at
// the page number, the origin of every field of the page.
#include <string>
#include <vector>

namespace qv::declaration {

// A label at the same offsets the page's fields use: row 1 is the first row
// inside the box, column c lies c cells right of the box's left edge.
struct FrameLabel {
    int row;
    int col;
    const char* text;   // UTF-8 in the source, CP850 on screen
};

struct FrameText {
    int number;          // page (6-23) or sub-page (31, 32, 41-44, 51, 56-58, 70/71)
    int top, left, bottom, right;
    std::vector<FrameLabel> labels;
};

// nullptr when the number has no frame of its own.
const FrameText* frame_text(int number);
// The frame's text as the window writer lays it out (CP850, rows padded to
// the box's inner width).
std::string frame_layout(const FrameText& frame);

}  // namespace qv::declaration
