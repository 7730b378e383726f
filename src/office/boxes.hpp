#pragma once
// The framed boxes of the office options: a numbered text window in the
// terminal's colours with its lines laid out one per row.
#include "common/frame_boxes.hpp"

namespace qv::office {

using common::open_box;

}  // namespace qv::office
