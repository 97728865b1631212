// The settings file 合图工具配置.ini next to the program: section 配置 with the keys below, and
// the two list encodings stored in it.
#pragma once
#include <vector>

#include "common/text.h"

inline constexpr char kSettingsSection[] = "配置";
inline constexpr char kKeyHelp[] = "帮助";      // "1" shows the help hint at start
inline constexpr char kKeyFolder[] = "路径";    // last folder drawings were taken from
inline constexpr char kKeyRunCount[] = "次数";  // starts so far
inline constexpr char kKeyVersions[] = "版本";  // version list
inline constexpr char kKeySizes[] = "尺寸";     // size list

// Entries "internal version-year", each closed by "/".
inline constexpr char kDefaultVersionList[] =
    "15-2000/15.2-2002/16-2004/16.1-2005/16.2-2006/17-2007/17.1-2008/17.2-2009/18-2010/"
    "18.1-2011/18.2-2012/19-2013/19.1-2014/20-2015/20.1-2016/21-2017/22-2018/23-2019/"
    "23.1-2020/24-2021/24.1-2022/24.2-2023/24.3-2024/25-2025/25.1-2026/";
// Entries "designation-orientation-width*height", each closed by "/".
inline constexpr char kDefaultSizeList[] =
    "A0-横向-1189*841/A0-竖向-841*1189/A1-横向-841*594/A1-竖向-594*841/A2-横向-594*420/"
    "A2-竖向-420*594/A3-横向-420*297/A3-竖向-297*420/A4-横向-297*210/A4-竖向-210*297/"
    "Z1-定向排-105*95/";

// ProgramDirectory() + "\合图工具配置.ini".
Text SettingsPath();
bool SettingsFileExists();

// Value of key in section 配置; empty when the file or the key is missing.
Text ReadSetting(const Text& key);
// Sets key in section 配置, keeping the rest of the file. Failures are silent; a file that exists
// but cannot be read is left alone rather than replaced.
void WriteSetting(const Text& key, const Text& value);

// At start: writes the defaults when there is no settings file, reads the five values into the
// globals, counts this start and hides the file. When the file cannot be created the globals
// keep their values.
void LoadSettings();

// One member of the version list, split at "-". hasYear is false when the entry has no "-".
struct VersionEntry {
  Text internalVersion;
  Text year;
  bool hasYear = false;
};
// One entry per member of split(text, "/"), empty members included, so that indexes match.
std::vector<VersionEntry> ParseVersionList(const Text& text);

// One member of the size list, split at "-"; pieces is how many pieces it had, and the missing
// ones are empty. sizePiece is "width*height" as written.
struct SizeEntry {
  Text designation;
  Text orientation;
  Text sizePiece;
  int pieces = 0;
};
std::vector<SizeEntry> ParseSizeList(const Text& text);
