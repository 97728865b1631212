// The tools window's second page "合图器设置": the version and size tables, the default folder,
// their save, and the close handler of the tools window.
#pragma once
#include <windows.h>

#include <cstddef>

#include "app/ui.h"

namespace toolswin {
// The page's controls (the main window has buttons of the same names in namespace mainwin).
extern HWND 标签6, 编辑框_路径, 按钮_路径, 高级表格_版本, 高级表格_尺寸, 按钮_增加, 按钮_删除, 按钮_保存,
    标签3;

constexpr int kSettingsIdBase = 3000;

// Creates the page's controls inside page.
void CreateSettingsPage(HWND page, HFONT font);
// WM_COMMAND / WM_NOTIFY of the page's controls; true when handled.
bool RouteSettingsCommand(WPARAM wParam, LPARAM lParam);
bool RouteSettingsNotify(LPARAM lParam);
const ui::ControlDef* SettingsControls(std::size_t* count);
}  // namespace toolswin

// Fills the path box and both tables from the settings file itself.
void FillSettingsTables();
// table: 1 the version table, 2 the size table; gives it the selected look and the other the plain.
void SelectTable(int table);
void AddTableRow();
void DeleteTableRow();
void SaveSettingsTables();
void BrowseDefaultFolder();
// Runs when the tools window is being destroyed, however it is closed.
void OnToolsWindowDestroyed();
