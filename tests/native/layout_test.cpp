#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "cad/layout.h"

namespace {

struct XY {
  long long x, y;
};

MergeParameters Params(std::int32_t N, std::int32_t L, std::int32_t W, std::int32_t K,
                       std::int32_t H, std::int32_t V) {
  MergeParameters p;
  p.N = N;
  p.L = L;
  p.W = W;
  p.K = K;
  p.H = H;
  p.V = V;
  return p;
}

void ExpectPoints(const std::vector<InsertionPoint>& got, const std::vector<XY>& want,
                  const char* name, const char* what) {
  ASSERT_EQ(got.size(), want.size()) << name << " " << what;
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].X, static_cast<double>(want[i].x)) << name << " " << what << " #" << i + 1;
    EXPECT_EQ(got[i].Y, static_cast<double>(want[i].y)) << name << " " << what << " #" << i + 1;
    EXPECT_EQ(got[i].Z, 0.0) << name << " " << what << " #" << i + 1;
  }
}

struct LayoutCase {
  const char* name;
  std::int32_t mode, n;
  MergeParameters p;
  std::vector<XY> drawings;
  std::vector<XY> frames;
};

TEST(Layout, Modes) {
  const LayoutCase cases[] = {
      {"horizontal", 1, 4, Params(10, 420, 297, 0, 0, 0),
       {{0, 0}, {430, 0}, {860, 0}, {1290, 0}}, {}},
      {"vertical", 2, 3, Params(10, 420, 297, 0, 0, 0), {{0, 0}, {0, -307}, {0, -614}}, {}},
      {"mixed, three per row", 3, 7, Params(10, 420, 297, 3, 0, 0),
       {{0, 0}, {430, 0}, {860, 0}, {0, -307}, {430, -307}, {860, -307}, {0, -614}}, {}},
      {"directional, 4 x 3 cells", 4, 14, Params(10, 105, 95, 0, 4, 3),
       {{0, 0}, {105, 0}, {210, 0}, {315, 0},
        {0, -95}, {105, -95}, {210, -95}, {315, -95},
        {0, -190}, {105, -190}, {210, -190}, {315, -190},
        {430, 0}, {535, 0}},
       {{0, 95}, {430, 95}}},

      {"single drawing, horizontal", 1, 1, Params(10, 420, 297, 3, 4, 3), {{0, 0}}, {}},
      {"single drawing, vertical", 2, 1, Params(10, 420, 297, 3, 4, 3), {{0, 0}}, {}},
      {"single drawing, mixed", 3, 1, Params(10, 420, 297, 3, 4, 3), {{0, 0}}, {}},
      {"single drawing, directional", 4, 1, Params(10, 420, 297, 3, 4, 3), {{0, 0}}, {{0, 297}}},
      {"no drawings", 4, 0, Params(10, 420, 297, 3, 4, 3), {}, {}},

      {"mixed with K >= n is one row", 3, 4, Params(10, 420, 297, 5, 0, 0),
       {{0, 0}, {430, 0}, {860, 0}, {1290, 0}}, {}},
      {"mixed with K = 1 is one column", 3, 3, Params(10, 420, 297, 1, 0, 0),
       {{0, 0}, {0, -307}, {0, -614}}, {}},
      {"directional, exactly one frame", 4, 4, Params(10, 105, 95, 0, 2, 2),
       {{0, 0}, {105, 0}, {0, -95}, {105, -95}}, {{0, 95}}},
      {"directional, one past a frame", 4, 5, Params(10, 105, 95, 0, 2, 2),
       {{0, 0}, {105, 0}, {0, -95}, {105, -95}, {220, 0}}, {{0, 95}, {220, 95}}},
      {"directional, one row per frame", 4, 5, Params(10, 105, 95, 0, 2, 1),
       {{0, 0}, {105, 0}, {220, 0}, {325, 0}, {440, 0}}, {{0, 95}, {220, 95}, {440, 95}}},
      {"directional, cells touch whatever the spacing", 4, 3, Params(50, 105, 95, 0, 2, 1),
       {{0, 0}, {105, 0}, {260, 0}}, {{0, 95}, {260, 95}}},

      {"negative spacing overlaps", 1, 3, Params(-20, 420, 297, 0, 0, 0),
       {{0, 0}, {400, 0}, {800, 0}}, {}},
      {"counts of other modes do not matter", 1, 2, Params(10, 420, 297, 0, -1, 0),
       {{0, 0}, {430, 0}}, {}},
      {"mode 3 ignores H and V", 3, 2, Params(10, 420, 297, 1, 0, 0), {{0, 0}, {0, -307}}, {}},
      {"mode 4 ignores K", 4, 2, Params(10, 420, 297, 0, 1, 1), {{0, 0}, {430, 0}},
       {{0, 297}, {430, 297}}},
  };
  for (const auto& c : cases) {
    const LayoutResult r = ComputeLayout(c.mode, c.n, c.p);
    ASSERT_TRUE(r.ok()) << c.name;
    ExpectPoints(r.drawings, c.drawings, c.name, "drawings");
    ExpectPoints(r.partFrames, c.frames, c.name, "part frames");
  }
}

struct ErrorCase {
  const char* name;
  std::int32_t mode, n;
  MergeParameters p;
  LayoutError error;
  MergeField count;  // checked for CountBelowOne only
};

TEST(Layout, Errors) {
  const std::int32_t big = std::numeric_limits<std::int32_t>::max();
  const std::int32_t low = std::numeric_limits<std::int32_t>::min();
  const ErrorCase cases[] = {
      {"mode 0", 0, 3, Params(10, 420, 297, 3, 4, 3), LayoutError::UnknownMode, {}},
      {"mode 5", 5, 3, Params(10, 420, 297, 3, 4, 3), LayoutError::UnknownMode, {}},
      {"mode -1", -1, 3, Params(10, 420, 297, 3, 4, 3), LayoutError::UnknownMode, {}},

      {"K = 0", 3, 3, Params(10, 420, 297, 0, 4, 3), LayoutError::CountBelowOne,
       MergeField::PerRow},
      {"K negative", 3, 3, Params(10, 420, 297, -2, 4, 3), LayoutError::CountBelowOne,
       MergeField::PerRow},
      {"H = 0", 4, 3, Params(10, 420, 297, 3, 0, 3), LayoutError::CountBelowOne,
       MergeField::DirH},
      {"V = 0", 4, 3, Params(10, 420, 297, 3, 4, 0), LayoutError::CountBelowOne,
       MergeField::DirV},
      {"count checked even with no drawings", 4, 0, Params(10, 420, 297, 3, 4, -1),
       LayoutError::CountBelowOne, MergeField::DirV},

      {"step L + N beyond 32 bits", 1, 1, Params(10, big, 297, 0, 0, 0), LayoutError::OutOfRange,
       {}},
      {"(i-1) * s beyond 32 bits", 1, 3, Params(0, 1 << 30, 297, 0, 0, 0),
       LayoutError::OutOfRange, {}},
      {"(i-1) * s just fits", 1, 2, Params(0, big, 297, 0, 0, 0), LayoutError::None, {}},
      {"vertical below the 32-bit floor", 2, 4, Params(0, 420, 1 << 30, 0, 0, 0),
       LayoutError::OutOfRange, {}},
      {"vertical reaching the floor exactly", 2, 3, Params(0, 420, 1 << 30, 0, 0, 0),
       LayoutError::None, {}},
      {"vertical upwards past the top", 2, 3, Params(0, 420, -(1 << 30), 0, 0, 0),
       LayoutError::OutOfRange, {}},
      {"vertical with negative width negates", 2, 2, Params(0, 420, low, 0, 0, 0),
       LayoutError::OutOfRange, {}},
      {"mixed row step", 3, 4, Params(0, 420, 1 << 30, 1, 0, 0), LayoutError::OutOfRange, {}},
      {"mixed column step", 3, 4, Params(0, 1 << 30, 297, 4, 0, 0), LayoutError::OutOfRange,
       {}},
      {"H * L beyond 32 bits", 4, 1, Params(10, 1 << 20, 297, 0, 1 << 12, 1),
       LayoutError::OutOfRange, {}},
      {"H * V beyond 32 bits", 4, 1, Params(10, 1, 297, 0, 1 << 16, 1 << 16),
       LayoutError::OutOfRange, {}},
      {"frame step H * L + N beyond 32 bits", 4, 1, Params(big, 1, 297, 0, 1, 1),
       LayoutError::OutOfRange, {}},
      {"later frames running past 32 bits", 4, 3, Params(0, 1 << 30, 297, 0, 1, 1),
       LayoutError::OutOfRange, {}},
  };
  for (const auto& c : cases) {
    const LayoutResult r = ComputeLayout(c.mode, c.n, c.p);
    EXPECT_EQ(r.error, c.error) << c.name;
    if (c.error == LayoutError::CountBelowOne) {
      EXPECT_EQ(r.count, c.count) << c.name;
    }
    if (c.error != LayoutError::None) {
      EXPECT_TRUE(r.drawings.empty()) << c.name;
      EXPECT_TRUE(r.partFrames.empty()) << c.name;
    }
  }
}

TEST(Layout, ReadsBoxesAsWholeNumbers) {
  struct {
    Text box;
    std::int32_t want;
  } cases[] = {
      {"420", 420},     {"420.9", 420}, {"-2.5", -2}, {"abc", 0},
      {"", 0},          {"  10", 10},   {"１０", 10},  // full-width digits
      {"12mm", 12},     {"1e3", 1000},
  };
  for (const auto& c : cases) {
    const MergeParameters p = ReadMergeParameters(c.box, c.box, c.box, c.box, c.box, c.box);
    for (std::int32_t v : {p.N, p.L, p.W, p.K, p.H, p.V}) EXPECT_EQ(v, c.want) << c.box;
    EXPECT_TRUE(p.outOfRange.empty()) << c.box;
  }
}

TEST(Layout, ReportsBoxesBeyond32Bits) {
  const MergeParameters p =
      ReadMergeParameters("10", "2147483648", "2147483647", "-2147483649", "1e400", "-2147483648.9");
  EXPECT_EQ(p.outOfRange, (std::vector<MergeField>{MergeField::Length, MergeField::PerRow,
                                                   MergeField::DirH}));
  EXPECT_EQ(p.W, 2147483647);
  EXPECT_EQ(p.V, std::numeric_limits<std::int32_t>::min());
}

TEST(Layout, LettersInSpacingMeanNoGap) {
  const MergeParameters p = ReadMergeParameters("abc", "420.9", "297", "3", "4", "3");
  const LayoutResult r = ComputeLayout(1, 3, p);
  ASSERT_TRUE(r.ok());
  ExpectPoints(r.drawings, {{0, 0}, {420, 0}, {840, 0}}, "letters spacing", "drawings");
}

}  // namespace
