#include <gtest/gtest.h>

#include "cad/presets.h"

namespace {

TEST(Presets, OneItemPerEntryInOrder) {
  const Text list = "A0-横向-1189*841/A0-竖向-841*1189//B5-横向-250*176/Z1-定向排-105*95/";
  const TextArray entries = SizeEntries(list);
  ASSERT_EQ(entries.size(), 5u);
  TextArray items;
  for (const auto& e : entries) items.push_back(SizeItemText(e));
  EXPECT_EQ(items, (TextArray{"A0横向1189*841mm", "A0竖向841*1189mm", EmptySizeItemText(),
                              "B5横向250*176mm", "Z1定向排105*95mm"}));
  EXPECT_TRUE(SizeEntries("").empty());
}

TEST(Presets, ItemText) {
  struct {
    Text entry, want;
  } cases[] = {
      {"A0-横向-1189*841", "A0横向1189*841mm"},
      {"A0-横向-1189*841-旧", "A0横向1189*841mm"},  // pieces after the third ignored
      {"A0-横向", "A0横向mm"},
      {"A0", "A0mm"},
      {"A0--1189*841", "A01189*841mm"},
      {"", EmptySizeItemText()},
      {"-", EmptySizeItemText()},
      {"--", EmptySizeItemText()},
      {" ", EmptySizeItemText()},  // blanks only would be an invisible item
      {" - \t- ", EmptySizeItemText()},
      {" -横向", " 横向mm"},
  };
  for (const auto& c : cases) EXPECT_EQ(SizeItemText(c.entry), c.want) << c.entry;
}

TEST(Presets, SizeFromEntry) {
  struct {
    Text entry;
    bool ok;
    Text length, width;
  } cases[] = {
      {"A0-横向-1189*841", true, "1189", "841"},
      {"B5-横向-250*176", true, "250", "176"},
      {"A0-横向-1189*841*5", true, "1189", "841"},
      {"A0-横向-1189*841-旧", true, "1189", "841"},
      {"A3-横向- 420 * 297 ", true, " 420 ", " 297 "},  // written as they stand
      {"A0-横向-1189", false, "", ""},
      {"A0-横向-1189*", false, "", ""},
      {"A0-横向-*841", false, "", ""},  // an empty size piece is a missing one
      {"A0-横向-1189**841", false, "", ""},
      {"A0-横向-1189*841*", true, "1189", "841"},
      {"A0-横向", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    Text length = "old L", width = "old W";
    EXPECT_EQ(SizeFromEntry(c.entry, length, width), c.ok) << c.entry;
    EXPECT_EQ(length, c.ok ? c.length : "old L") << c.entry;
    EXPECT_EQ(width, c.ok ? c.width : "old W") << c.entry;
  }
}

TEST(Presets, ClampSelection) {
  struct {
    int wanted, count, want;
  } cases[] = {
      {0, 5, 0}, {4, 5, 4}, {5, 5, 4}, {100, 5, 4}, {-1, 5, 0}, {0, 0, -1}, {3, 0, -1}, {0, 1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ClampSelection(c.wanted, c.count), c.want) << c.wanted << " of " << c.count;
}

}  // namespace
