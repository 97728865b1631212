#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/files.h"
#include "common/globals.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace {

// Points the program directory into a fresh temporary directory. SettingsPath joins with "\",
// which a POSIX file name takes as a plain byte: the file is "<tmp>/prog\合图工具配置.ini",
// inside the temporary directory.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessaro_settings_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    OverrideProgramDirectory(dir_ + "/prog");
    ResetPortableGlobals();
  }
  void TearDown() override {
    OverrideProgramDirectory("");
    std::filesystem::remove_all(dir_);
  }
  static std::string FileBytes() {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(SettingsPath(), bytes));
    return bytes;
  }
  static void PutFile(const std::string& bytes) {
    ASSERT_TRUE(WriteFileBytes(SettingsPath(), bytes));
  }
  std::string dir_;
};

TEST_F(SettingsTest, PathIsProgramDirectoryAndFileName) {
  EXPECT_EQ(SettingsPath(), dir_ + "/prog\\合图工具配置.ini");
  EXPECT_EQ(SettingsPath(), dir_ + "/prog\\\xBA\xCF\xCD\xBC\xB9\xA4\xBE\xDF\xC5\xE4\xD6\xC3.ini");
  EXPECT_FALSE(SettingsFileExists());
  PutFile("");
  EXPECT_TRUE(SettingsFileExists());
  EXPECT_TRUE(std::filesystem::exists(SettingsPath())) << "file lands in the temporary directory";
}

TEST_F(SettingsTest, FirstStartWritesDefaultsInOrder) {
  LoadSettings();
  const std::string want = std::string("[配置]\r\n") + "帮助=1\r\n" + "路径=D:\\\r\n" +
                           "次数=2\r\n" + "版本=" + kDefaultVersionList + "\r\n" + "尺寸=" +
                           kDefaultSizeList + "\r\n";
  EXPECT_EQ(FileBytes(), want);
  EXPECT_EQ(runCount, 1);
  EXPECT_EQ(helpFlagText, "1");
  EXPECT_EQ(lastFolder, "D:\\");
  EXPECT_EQ(versionListText, kDefaultVersionList);
  EXPECT_EQ(sizeListText, kDefaultSizeList);

  LoadSettings();
  EXPECT_EQ(runCount, 2);
  EXPECT_EQ(ReadSetting("次数"), "3");
}

TEST_F(SettingsTest, DefaultListsByteForByte) {
  // GBK bytes of the Chinese pieces: 横向 BA E1 CF F2, 竖向 CA FA CF F2, 定向排 B6 A8 CF F2 C5 C5.
  const Text sizes(kDefaultSizeList);
  EXPECT_EQ(sizes.substr(0, 17), "A0-\xBA\xE1\xCF\xF2-1189*841/");
  EXPECT_EQ(sizes.substr(17, 17), "A0-\xCA\xFA\xCF\xF2-841*1189/");
  EXPECT_EQ(sizes.substr(sizes.size() - 17), "Z1-\xB6\xA8\xCF\xF2\xC5\xC5-105*95/");
  EXPECT_EQ(ParseSizeList(sizes).size(), 11u);
  const auto versions = ParseVersionList(kDefaultVersionList);
  ASSERT_EQ(versions.size(), 25u);
  EXPECT_EQ(versions.front().internalVersion, "15");
  EXPECT_EQ(versions.front().year, "2000");
  EXPECT_EQ(versions.back().internalVersion, "25.1");
  EXPECT_EQ(versions.back().year, "2026");
}

TEST_F(SettingsTest, RunCounter) {
  struct {
    const char* name;
    std::string file;
    std::int32_t wantCount;
    Text wantWritten;
  } cases[] = {
      {"whole number", "[配置]\r\n次数=19\r\n", 19, "20"},
      {"letters", "[配置]\r\n次数=abc\r\n", 0, "1"},
      {"empty", "[配置]\r\n次数=\r\n", 0, "1"},
      {"missing key", "[配置]\r\n帮助=1\r\n", 0, "1"},
      {"fraction cut toward zero", "[配置]\r\n次数=7.9\r\n", 7, "8"},
      {"negative", "[配置]\r\n次数=-3\r\n", -3, "-2"},
      {"leading blanks", "[配置]\r\n次数= 4\r\n", 4, "5"},
      {"largest whole number", "[配置]\r\n次数=2147483647\r\n", INT32_MAX, "2147483648"},
      {"beyond the range saturates", "[配置]\r\n次数=9e99\r\n", INT32_MAX, "2147483648"},
  };
  for (const auto& c : cases) {
    PutFile(c.file);
    runCount = 12345;
    LoadSettings();
    EXPECT_EQ(runCount, c.wantCount) << c.name;
    EXPECT_EQ(ReadSetting("次数"), c.wantWritten) << c.name;
  }
}

TEST_F(SettingsTest, ExistingFileGetsOnlyTheCounter) {
  PutFile("[配置]\r\n帮助=0\r\n");
  LoadSettings();
  EXPECT_EQ(FileBytes(), "[配置]\r\n帮助=0\r\n次数=1\r\n");
  EXPECT_EQ(helpFlagText, "0");
  EXPECT_EQ(runCount, 0);
  EXPECT_EQ(lastFolder, "");
  EXPECT_EQ(versionListText, "");
  EXPECT_EQ(sizeListText, "");
}

// As the system's profile functions leave a file: CRLF, other sections around ours, comments,
// blank lines, keys differing only in letter case, a key of another section named like ours.
TEST_F(SettingsTest, LoadKeepsTheRestOfAProfileFile) {
  const std::string file =
      "; settings\r\n"
      "[Window]\r\n"
      "Foo=1\r\n"
      "FOO=2\r\n"
      "次数=99\r\n"
      "\r\n"
      "[配置]\r\n"
      "帮助=0\r\n"
      "; folder last used\r\n"
      "路径=E:\\图纸\\\r\n"
      "次数=41\r\n"
      "版本=24-2021/\r\n"
      "尺寸=A3-横向-420*297/\r\n"
      "\r\n"
      "[Later]\r\n"
      "次数=7\r\n";
  PutFile(file);
  LoadSettings();
  std::string want = file;
  want.replace(want.find("次数=41"), Text("次数=41").size(), "次数=42");
  EXPECT_EQ(FileBytes(), want);
  EXPECT_EQ(runCount, 41);
  EXPECT_EQ(lastFolder, "E:\\图纸\\");
  EXPECT_EQ(helpFlagText, "0");
  EXPECT_EQ(versionListText, "24-2021/");
  EXPECT_EQ(sizeListText, "A3-横向-420*297/");
}

TEST_F(SettingsTest, WriteSettingPlacesAndReplaces) {
  PutFile("[配置]\r\n帮助=1\r\n路径=D:\\\r\n\r\n[Other]\r\nx=1\r\n");
  WriteSetting("次数", "5");  // new key: end of its section, not end of the file
  WriteSetting("帮助", "0");  // replaced in place
  WriteSetting("路径", "");   // empty value keeps the key
  EXPECT_EQ(FileBytes(), "[配置]\r\n帮助=0\r\n路径=\r\n次数=5\r\n\r\n[Other]\r\nx=1\r\n");
  EXPECT_EQ(ReadSetting("路径"), "");
  EXPECT_EQ(ReadSetting("次数"), "5");
  EXPECT_EQ(ReadSetting("x"), "") << "key of another section";

  // Values that hold "=" or GBK characters whose trail byte is "[", "]", "=" or "\".
  const Text tricky[] = {"a=b=c", "\x95[", "\x95]", "\x81=", "D:\\\x95\\\\", "[配置]"};
  for (const Text& v : tricky) {
    WriteSetting("路径", v);
    EXPECT_EQ(ReadSetting("路径"), v);
    EXPECT_EQ(ReadSetting("次数"), "5");
  }
}

TEST_F(SettingsTest, ReadLimitAndLineBreaks) {
  WriteSetting("版本", Text(10240, '1'));
  EXPECT_EQ(ReadSetting("版本"), Text(10239, '1'));
  EXPECT_EQ(FileBytes().size(), Text("[配置]\r\n版本=\r\n").size() + 10240) << "stored whole";

  WriteSetting("路径", "C:\\a\r\n次数=100");
  EXPECT_EQ(ReadSetting("路径"), "C:\\a");
  EXPECT_EQ(ReadSetting("次数"), "") << "a value cannot inject a line";
}

TEST_F(SettingsTest, MissingFileReadsEmptyAndCannotBeCreated) {
  EXPECT_EQ(ReadSetting("帮助"), "");
  // A program directory that does not exist: nothing can be written, the globals stay.
  OverrideProgramDirectory(dir_ + "/missing/prog");
  runCount = 5;
  lastFolder = "keep";
  helpFlagText = "h";
  LoadSettings();
  EXPECT_FALSE(SettingsFileExists());
  EXPECT_EQ(runCount, 5);
  EXPECT_EQ(lastFolder, "keep");
  EXPECT_EQ(helpFlagText, "h");
}

TEST_F(SettingsTest, UnreadableFileIsNotReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
  PutFile("[配置]\r\n帮助=0\r\n");
  ASSERT_EQ(chmod(SettingsPath().c_str(), 0200), 0);  // write-only
  WriteSetting("次数", "1");
  ASSERT_EQ(chmod(SettingsPath().c_str(), 0600), 0);
  EXPECT_EQ(FileBytes(), "[配置]\r\n帮助=0\r\n");
}

TEST(SettingsLists, VersionList) {
  struct {
    const char* name;
    Text text;
    std::vector<VersionEntry> want;
  } cases[] = {
      {"closed by /", "24-2021/", {{"24", "2021", true}}},
      {"without the final /", "24-2021", {{"24", "2021", true}}},
      {"two entries", "15-2000/25.1-2026/", {{"15", "2000", true}, {"25.1", "2026", true}}},
      {"no year", "24/", {{"24", "", false}}},
      {"empty year is none (split drops an empty last piece)", "24-/", {{"24", "", false}}},
      {"extra pieces ignored", "24-2021-x/", {{"24", "2021", true}}},
      {"empty member kept in place", "a-1//b-2", {{"a", "1", true}, {"", "", false}, {"b", "2", true}}},
      {"empty text", "", {}},
  };
  for (const auto& c : cases) {
    const auto got = ParseVersionList(c.text);
    ASSERT_EQ(got.size(), c.want.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].internalVersion, c.want[i].internalVersion) << c.name << " " << i;
      EXPECT_EQ(got[i].year, c.want[i].year) << c.name << " " << i;
      EXPECT_EQ(got[i].hasYear, c.want[i].hasYear) << c.name << " " << i;
    }
  }
}

TEST(SettingsLists, SizeList) {
  struct {
    const char* name;
    Text text;
    std::vector<SizeEntry> want;
  } cases[] = {
      {"full entry", "A0-横向-1189*841/", {{"A0", "横向", "1189*841", 3}}},
      {"without the final /", "Z1-定向排-105*95", {{"Z1", "定向排", "105*95", 3}}},
      {"designation only", "A0/", {{"A0", "", "", 1}}},
      {"no size piece", "A0-横向/", {{"A0", "横向", "", 2}}},
      {"extra pieces ignored", "A0-横向-1*2-x/", {{"A0", "横向", "1*2", 4}}},
      {"empty member", "/A1-竖向-594*841/", {{"", "", "", 0}, {"A1", "竖向", "594*841", 3}}},
      {"empty text", "", {}},
  };
  for (const auto& c : cases) {
    const auto got = ParseSizeList(c.text);
    ASSERT_EQ(got.size(), c.want.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].designation, c.want[i].designation) << c.name << " " << i;
      EXPECT_EQ(got[i].orientation, c.want[i].orientation) << c.name << " " << i;
      EXPECT_EQ(got[i].sizePiece, c.want[i].sizePiece) << c.name << " " << i;
      EXPECT_EQ(got[i].pieces, c.want[i].pieces) << c.name << " " << i;
    }
  }
}

}  // namespace
