#include "app/modes.h"

#include <windows.h>

#include "app/main_window.h"
#include "app/ui.h"
#include "cad/part_frame.h"
#include "cad/presets.h"
#include "common/gbk.h"
#include "common/globals.h"

namespace {

constexpr COLORREF kEnabledBackground = RGB(255, 255, 255);
constexpr COLORREF kDisabledBackground = RGB(192, 192, 192);
constexpr int kDirectionalItem = 10;

// Selects item `wanted` of the size box by program (past the last: the last; no items: none).
// CB_SETCURSEL sends no CBN_SELCHANGE, so ApplySizePreset does not run.
void SelectSizeItem(int wanted) {
  const int count = static_cast<int>(SendMessageW(mainwin::组合框_尺寸, CB_GETCOUNT, 0, 0));
  SendMessageW(mainwin::组合框_尺寸, CB_SETCURSEL, static_cast<WPARAM>(ClampSelection(wanted, count)), 0);
}

// Steps 1 to 4 of every mode: own radio button, the three count boxes' disabled states, then
// their backgrounds in the same order, then the shared mode.
void ApplyMode(HWND radio, bool perRowCount, bool directionalCounts, std::int32_t mode) {
  using namespace mainwin;
  for (HWND r : {单选框_横, 单选框_竖, 单选框_混, 单选框_定})
    SendMessageW(r, BM_SETCHECK, r == radio ? BST_CHECKED : BST_UNCHECKED, 0);
  const struct {
    HWND box;
    bool enabled;
  } boxes[] = {
      {编辑框_行数量, perRowCount},
      {编辑框_定向水平数量, directionalCounts},
      {编辑框_定向垂直数量, directionalCounts},
  };
  for (const auto& b : boxes) EnableWindow(b.box, b.enabled ? TRUE : FALSE);
  for (const auto& b : boxes)
    ui::SetEditBackground(b.box, b.enabled ? kEnabledBackground : kDisabledBackground);
  ArrangementMode = mode;
}

void SelectDirectionalPreset() {
  SelectSizeItem(kDirectionalItem);
  ui::SetText(mainwin::编辑框_水平尺寸, "105");
  ui::SetText(mainwin::编辑框_垂直尺寸, "95");
}

}  // namespace

void SelectHorizontalMode() {
  ApplyMode(mainwin::单选框_横, false, false, 1);
  SelectA0Preset();
}

void SelectVerticalMode() {
  ApplyMode(mainwin::单选框_竖, false, false, 2);
  SelectA0Preset();
}

void SelectMixedMode() {
  ApplyMode(mainwin::单选框_混, true, false, 3);
  SelectA0Preset();
}

void SelectDirectionalMode() {
  ApplyMode(mainwin::单选框_定, false, true, 4);
  SelectDirectionalPreset();
}

// The texts are fixed, whatever item 0 of the size list holds.
void SelectA0Preset() {
  SelectSizeItem(0);
  ui::SetText(mainwin::编辑框_水平尺寸, "1189");
  ui::SetText(mainwin::编辑框_垂直尺寸, "841");
}

void PrepareSizePresets() {
  WritePartFrameIfMissing();
  sizeEntries = SizeEntries(sizeListText);
  SendMessageW(mainwin::组合框_尺寸, CB_RESETCONTENT, 0, 0);
  // One item per entry, malformed ones included, so item k is always entry k.
  for (const Text& entry : sizeEntries)
    SendMessageW(mainwin::组合框_尺寸, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(GbkToWide(SizeItemText(entry)).c_str()));
  SelectA0Preset();
}

// The user's pick only (CBN_SELCHANGE); the mode and the count boxes stay as they are.
void ApplySizePreset() {
  const int k = static_cast<int>(SendMessageW(mainwin::组合框_尺寸, CB_GETCURSEL, 0, 0));
  sizeEntries = SizeEntries(sizeListText);
  if (k < 0 || static_cast<std::size_t>(k) >= sizeEntries.size()) return;
  Text length, width;
  if (!SizeFromEntry(sizeEntries[k], length, width)) return;
  ui::SetText(mainwin::编辑框_水平尺寸, length);
  ui::SetText(mainwin::编辑框_垂直尺寸, width);
}
