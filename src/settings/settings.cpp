#include "settings/settings.h"

#include <string>

#include "common/files.h"
#include "common/globals.h"
#include "settings/ini.h"

Text SettingsPath() { return ProgramDirectory() + "\\合图工具配置.ini"; }

bool SettingsFileExists() { return FileExists(SettingsPath()); }

Text ReadSetting(const Text& key) {
  std::string bytes;
  if (!ReadFileBytes(SettingsPath(), bytes)) return Text();
  return IniRead(bytes, kSettingsSection, key);
}

void WriteSetting(const Text& key, const Text& value) {
  const Text path = SettingsPath();
  std::string bytes;
  // Writing over a file that could not be read would lose everything else in it.
  if (FileExists(path) && !ReadFileBytes(path, bytes)) return;
  const std::string updated = IniWrite(bytes, kSettingsSection, key, value);
  if (FileExists(path) && updated == bytes) return;
  WriteFileBytes(path, updated);
}

void LoadSettings() {
  if (!SettingsFileExists()) {
    WriteSetting(kKeyHelp, "1");
    WriteSetting(kKeyFolder, "D:\\");
    WriteSetting(kKeyRunCount, "1");
    WriteSetting(kKeyVersions, kDefaultVersionList);
    WriteSetting(kKeySizes, kDefaultSizeList);
  }
  if (SettingsFileExists()) {
    lastFolder = ReadSetting(kKeyFolder);
    helpFlagText = ReadSetting(kKeyHelp);
    runCount = TextToWhole(ReadSetting(kKeyRunCount));
    versionListText = ReadSetting(kKeyVersions);
    sizeListText = ReadSetting(kKeySizes);
    WriteSetting(kKeyRunCount, numberToText(static_cast<double>(runCount) + 1));
  }
  SetHiddenOnly(SettingsPath());
}

std::vector<VersionEntry> ParseVersionList(const Text& text) {
  std::vector<VersionEntry> out;
  for (const Text& member : split(text, "/")) {
    const TextArray pieces = split(member, "-");
    VersionEntry e;
    if (!pieces.empty()) e.internalVersion = pieces[0];
    if (pieces.size() > 1) {
      e.year = pieces[1];
      e.hasYear = true;
    }
    out.push_back(std::move(e));
  }
  return out;
}

std::vector<SizeEntry> ParseSizeList(const Text& text) {
  std::vector<SizeEntry> out;
  for (const Text& member : split(text, "/")) {
    const TextArray pieces = split(member, "-");
    SizeEntry e;
    e.pieces = static_cast<int>(pieces.size());
    if (pieces.size() > 0) e.designation = pieces[0];
    if (pieces.size() > 1) e.orientation = pieces[1];
    if (pieces.size() > 2) e.sizePiece = pieces[2];
    out.push_back(std::move(e));
  }
  return out;
}
