// Insertion points of the drawings merged into one drawing, for the four layout modes, and
// the reading of the merge parameter boxes. Whole-number arithmetic is done in 64 bits and
// any coordinate or step that leaves the signed 32-bit range is reported, never wrapped.
// Portable: no windows.h.
#pragma once
#include <cstdint>
#include <vector>

#include "common/text.h"

// The merge parameter boxes, in the order ReadMergeParameters takes them.
enum class MergeField { Spacing, Length, Width, PerRow, DirH, DirV };

struct MergeParameters {
  std::int32_t N = 0;  // spacing between drawings (or between part frames in mode 4)
  std::int32_t L = 0;  // sheet length (along X)
  std::int32_t W = 0;  // sheet width (along Y)
  std::int32_t K = 0;  // drawings per row, mode 3
  std::int32_t H = 0;  // cells across one part frame, mode 4
  std::int32_t V = 0;  // cells down one part frame, mode 4
  // Boxes whose number lay outside the 32-bit range; their value above is saturated and
  // must not be used.
  std::vector<MergeField> outOfRange;
};

// Each box by TextToNumber, then truncation toward zero ("420.9" -> 420, "-2.5" -> -2,
// no number -> 0). Boxes beyond 32 bits are listed in outOfRange.
MergeParameters ReadMergeParameters(const Text& spacing, const Text& length, const Text& width,
                                    const Text& perRow, const Text& dirH, const Text& dirV);

struct InsertionPoint {
  double X = 0, Y = 0, Z = 0;
};

enum class LayoutMode : std::int32_t { Horizontal = 1, Vertical = 2, Mixed = 3, Directional = 4 };

enum class LayoutError {
  None,
  UnknownMode,    // mode is not 1..4
  CountBelowOne,  // K (mode 3) or H / V (mode 4) below 1; LayoutResult::count names it
  OutOfRange,     // a coordinate or step would leave the signed 32-bit range
};

struct LayoutResult {
  LayoutError error = LayoutError::None;
  MergeField count = MergeField::PerRow;      // the offending count, for CountBelowOne
  std::vector<InsertionPoint> drawings;       // one per drawing, in order; empty on error
  std::vector<InsertionPoint> partFrames;     // mode 4 only; empty on error
  bool ok() const { return error == LayoutError::None; }
};

// Points for n drawings (n below 1 gives none). Counts matter only in their own mode.
LayoutResult ComputeLayout(std::int32_t mode, std::int32_t n, const MergeParameters& p);
