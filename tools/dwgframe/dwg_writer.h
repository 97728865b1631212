// The part-frame drawing: an A3 landscape sheet (420 x 297 mm) whose top-left corner is the
// base point (0,0); a grid of 4 x 3 cells of 105 x 95 mm runs right and down from it, and the
// 12 mm strip below the grid is the title strip.
#pragma once

#include <cstdint>
#include <vector>

namespace dwgframe {

struct Segment {
  double x1, y1, x2, y2;
};

constexpr int kFrameColumns = 4;
constexpr int kFrameRows = 3;
constexpr double kCellWidth = 105.0;
constexpr double kCellHeight = 95.0;
constexpr double kSheetWidth = 420.0;
constexpr double kSheetHeight = 297.0;

// Border first (clockwise from the base point), then the inner grid lines.
std::vector<Segment> PartFrameSegments();

// The complete R2000 (AC1015) DWG file of the part frame.
std::vector<std::uint8_t> BuildPartFrameDwg();

}  // namespace dwgframe
