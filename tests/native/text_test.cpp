#include <gtest/gtest.h>

#include "common/text.h"

namespace {

struct SplitCase {
  const char* name;
  Text text, delim;
  TextArray want;
};

TEST(TextSplit, Rules) {
  const SplitCase cases[] = {
      {"empty text", "", "/", {}},
      {"no delimiter", "abc", "/", {"abc"}},
      {"trailing delimiter gives no empty last member", "a/b/", "/", {"a", "b"}},
      {"missing final delimiter reads the same", "a/b", "/", {"a", "b"}},
      {"two in a row give an empty member", "a//b/", "/", {"a", "", "b"}},
      {"leading delimiter gives empty first member", "/a", "/", {"", "a"}},
      {"only delimiter", "/", "/", {""}},
      {"multi-byte delimiter", "a--b--", "--", {"a", "b"}},
      // 0x95 0x2F is one character whose trail byte equals "/": never a delimiter.
      {"trail byte equal to delimiter", "x\x95/y/z", "/", {"x\x95/y", "z"}},
      {"trail byte equal to #", "\x81#a#b", "#", {"\x81#a", "b"}},
      {"lone lead byte at the end", "a/\x81", "/", {"a", "\x81"}},
      {"Chinese pieces", "A0-横向-1189*841", "-", {"A0", "横向", "1189*841"}},
  };
  for (const auto& c : cases) EXPECT_EQ(split(c.text, c.delim), c.want) << c.name;
}

TEST(TextSearch, LastBackslashStepsOverDoubleByteCharacters) {
  struct {
    Text path;
    std::size_t want;
  } cases[] = {
      {"D:\\a.dwg", 2},
      {"D:\\图纸\\a.dwg", 2 + 1 + 4},
      {"D:\\\x95\\.dwg", 2},   // 0x95 0x5C is one character, not a folder separator
      {"a.dwg", Text::npos},
      {"\x81", Text::npos},
  };
  for (const auto& c : cases) EXPECT_EQ(FindLastChar(c.path, '\\'), c.want) << c.path;
  EXPECT_EQ(FindText("\x95#ab#", "#"), 4u);
  EXPECT_EQ(FindText("ab#cd#", "#", 3), 5u);
  EXPECT_EQ(FindText("abc", "x"), Text::npos);
}

TEST(TextNumber, TextToNumberRule) {
  struct {
    Text text;
    double want;
  } cases[] = {
      {"420", 420},        {"420.9", 420.9},   {"  -2.5", -2.5},     {"+7", 7},
      {"1e3", 1000},       {"1e", 1},          {"1e+", 1},           {"2.5E-1", 0.25},
      {".5", 0.5},         {"5.", 5},          {"abc", 0},           {"", 0},
      {"12abc", 12},       {"-", 0},           {".", 0},             {"0x10", 0},
      {"１２３", 123},     // full-width digits
      {"\xA1\xA1" "42", 42},  // ideographic space is a blank
      {"－３．５", -3.5},  {"７.９", 7.9},     {"字1", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.want) << c.text;
  EXPECT_EQ(FoldFullWidth("\xA1\xAB\xA1\xEE\xA1\xEF中"), "~**中");
}

TEST(TextNumber, WholeNumberTruncatesTowardZero) {
  EXPECT_EQ(ToWhole(2.9), 2);
  EXPECT_EQ(ToWhole(-2.9), -2);
  EXPECT_EQ(TextToWhole("420.9"), 420);
  EXPECT_EQ(TextToWhole("letters"), 0);
  EXPECT_TRUE(FitsWhole(2147483647.9));
  EXPECT_FALSE(FitsWhole(2147483648.0));
  EXPECT_TRUE(FitsWhole(-2147483648.5));
  EXPECT_FALSE(FitsWhole(-2147483649.0));
  EXPECT_EQ(ToWhole(1e20), 2147483647);
  EXPECT_EQ(ToWhole(-1e20), -2147483647 - 1);
}

TEST(TextNumber, NumberToText) {
  struct {
    double v;
    Text want;
  } cases[] = {
      {0, "0"},           {3.0, "3"},           {12.5, "12.5"},       {0.1 + 0.2, "0.3"},
      {-2.9, "-2.9"},     {1e13, "1e+013"},     {1.5e-5, "1.5e-005"}, {1e-4, "0.0001"},
      {123.456, "123.456"}, {9999999999999.0, "9999999999999"},
      {99999999999994.0, "9.999999999999e+013"}, {-1e300, "-1e+300"},
      {2.68, "2.68"},     {0.98, "0.98"},       {1024, "1024"},       {8, "8"},
      {1.0 / 3, "0.3333333333333"},             {2.0 / 3, "0.6666666666667"},
  };
  for (const auto& c : cases) EXPECT_EQ(numberToText(c.v), c.want) << c.v;
  EXPECT_EQ(IntToText(-42), "-42");
}

TEST(TextNumber, RoundToHalfAwayFromZero) {
  EXPECT_DOUBLE_EQ(roundTo(2.675, 2), 2.68);
  EXPECT_DOUBLE_EQ(roundTo(-2.675, 2), -2.68);
  EXPECT_DOUBLE_EQ(roundTo(0.0, 2), 0.0);
  EXPECT_DOUBLE_EQ(roundTo(12345 / 1024.0, 2), 12.06);
  EXPECT_DOUBLE_EQ(roundTo(2.5, 0), 3.0);
  EXPECT_DOUBLE_EQ(roundTo(1250, -2), 1300.0);
}

TEST(TextDate, FileAndSaveTimes) {
  EXPECT_EQ(FormatFileTime({2024, 3, 5, 9, 7, 42}), "2024/3/5 9:7");
  EXPECT_EQ(FormatFileTime({100, 1, 1, 0, 0, 0}), "100/1/1 0:0");
  struct {
    DateTime t;
    Text want;
  } cases[] = {
      {{2025, 3, 7, 14, 5, 9}, "2025年3月7日14时5分9秒"},
      {{2025, 3, 7, 14, 0, 0}, "2025年3月7日14时"},
      {{2025, 3, 7, 0, 0, 0}, "2025年3月7日"},
      {{2025, 3, 7, 14, 5, 0}, "2025年3月7日14时5分"},
      {{2025, 3, 7, 0, 0, 9}, "2025年3月7日0时0分9秒"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSaveTime(c.t), c.want);
}

}  // namespace
