#include "cad/layout.h"

#include <limits>

namespace {

using i64 = std::int64_t;

bool Fits32(i64 v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

std::int32_t ReadBox(const Text& text, MergeField field, std::vector<MergeField>& bad) {
  double v = TextToNumber(text);
  if (!FitsWhole(v)) bad.push_back(field);
  return ToWhole(v);
}

// Appends (x, y, 0) when both fit in 32 bits; false otherwise.
bool Add(std::vector<InsertionPoint>& out, i64 x, i64 y) {
  if (!Fits32(x) || !Fits32(y)) return false;
  out.push_back({static_cast<double>(x), static_cast<double>(y), 0.0});
  return true;
}

LayoutResult Fail(LayoutError e, MergeField count = MergeField::PerRow) {
  LayoutResult r;
  r.error = e;
  r.count = count;
  return r;
}

}  // namespace

MergeParameters ReadMergeParameters(const Text& spacing, const Text& length, const Text& width,
                                    const Text& perRow, const Text& dirH, const Text& dirV) {
  MergeParameters p;
  p.N = ReadBox(spacing, MergeField::Spacing, p.outOfRange);
  p.L = ReadBox(length, MergeField::Length, p.outOfRange);
  p.W = ReadBox(width, MergeField::Width, p.outOfRange);
  p.K = ReadBox(perRow, MergeField::PerRow, p.outOfRange);
  p.H = ReadBox(dirH, MergeField::DirH, p.outOfRange);
  p.V = ReadBox(dirV, MergeField::DirV, p.outOfRange);
  return p;
}

LayoutResult ComputeLayout(std::int32_t mode, std::int32_t n, const MergeParameters& p) {
  const i64 N = p.N, L = p.L, W = p.W, K = p.K, H = p.H, V = p.V;
  const i64 count = n > 0 ? n : 0;
  LayoutResult r;
  auto& pts = r.drawings;

  switch (mode) {
    case static_cast<std::int32_t>(LayoutMode::Horizontal): {
      const i64 s = L + N;
      if (!Fits32(s)) return Fail(LayoutError::OutOfRange);
      pts.reserve(count);
      for (i64 i = 1; i <= count; ++i)
        if (!Add(pts, (i - 1) * s, 0)) return Fail(LayoutError::OutOfRange);
      break;
    }
    case static_cast<std::int32_t>(LayoutMode::Vertical): {
      const i64 s = W + N;
      if (!Fits32(s)) return Fail(LayoutError::OutOfRange);
      pts.reserve(count);
      for (i64 i = 1; i <= count; ++i)
        if (!Add(pts, 0, -(i - 1) * s)) return Fail(LayoutError::OutOfRange);
      break;
    }
    case static_cast<std::int32_t>(LayoutMode::Mixed): {
      if (K < 1) return Fail(LayoutError::CountBelowOne, MergeField::PerRow);
      const i64 sx = L + N, sy = W + N;
      if (!Fits32(sx) || !Fits32(sy)) return Fail(LayoutError::OutOfRange);
      pts.reserve(count);
      i64 c = 1, row = 1;
      for (i64 i = 1; i <= count; ++i) {
        if (!Add(pts, (c - 1) * sx, -(row - 1) * sy)) return Fail(LayoutError::OutOfRange);
        if (i % K == 0) {
          ++row;
          c = 1;
        } else {
          ++c;
        }
      }
      break;
    }
    case static_cast<std::int32_t>(LayoutMode::Directional): {
      if (H < 1) return Fail(LayoutError::CountBelowOne, MergeField::DirH);
      if (V < 1) return Fail(LayoutError::CountBelowOne, MergeField::DirV);
      const i64 hl = H * L, cells = H * V;
      if (!Fits32(hl) || !Fits32(cells)) return Fail(LayoutError::OutOfRange);
      const i64 step = hl + N;  // from one part frame to the next
      if (!Fits32(step)) return Fail(LayoutError::OutOfRange);
      pts.reserve(count);
      i64 x0 = 0, c = 1, row = 1;
      for (i64 i = 1; i <= count; ++i) {
        if (!Add(pts, x0 + (c - 1) * L, -(row - 1) * W)) return Fail(LayoutError::OutOfRange);
        if (i % H != 0) {
          ++c;
        } else {
          c = 1;
          if (++row > V) row = 1;
        }
        if (i % cells == 0) x0 += step;  // a following drawing's X is checked when added
      }
      const i64 frames = (count + cells - 1) / cells;
      r.partFrames.reserve(frames);
      for (i64 k = 1; k <= frames; ++k)
        if (!Add(r.partFrames, (k - 1) * step, W)) return Fail(LayoutError::OutOfRange);
      break;
    }
    default:
      return Fail(LayoutError::UnknownMode);
  }
  return r;
}
