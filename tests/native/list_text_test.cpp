#include <gtest/gtest.h>

#include <cstdint>

#include "drawing_list/list_text.h"

namespace {

TEST(ListText, SizeCell) {
  struct {
    std::int64_t bytes;
    Text want;
  } cases[] = {
      {0, "0KB"},
      {1, "0KB"},
      {5, "0KB"},
      {100, "0.1KB"},
      {511, "0.5KB"},
      {512, "0.5KB"},
      {1000, "0.98KB"},
      {1024, "1KB"},
      {1536, "1.5KB"},
      {12345, "12.06KB"},
      {1048576, "1024KB"},
      {2147483647LL, "2097152KB"},        // 2 GiB - 1 byte
      {2147483648LL, "2097152KB"},        // 2 GiB: past a 32-bit count
      {3221225472LL, "3145728KB"},        // 3 GiB
      {4294967296LL + 1536, "4194305.5KB"},  // past 4 GiB: no wrap to 1.5KB
  };
  for (const auto& c : cases) EXPECT_EQ(SizeCellText(c.bytes), c.want) << c.bytes;
}

TEST(ListText, MissingFile) {
  EXPECT_EQ(SizeCellText(-1), MissingFileCellText());
  EXPECT_EQ(MissingFileCellText(), Text("文件不存在"));
}

TEST(ListText, TimeCell) {
  DateTime t;
  t.year = 2024;
  t.month = 3;
  t.day = 5;
  t.hour = 9;
  t.minute = 7;
  t.second = 42;
  EXPECT_EQ(TimeCellText(t), "2024/3/5 9:7");
  t.month = 12;
  t.day = 31;
  t.hour = 23;
  t.minute = 59;
  EXPECT_EQ(TimeCellText(t), "2024/12/31 23:59");
}

}  // namespace
