// The tools window's second page "合图器设置": the version and size tables, the default folder,
// their save, and the close handler of the tools window.
#pragma once
#include <windows.h>

#include <cstddef>

#include "app/ui.h"

namespace toolswin {
// Creates the page's controls inside page.
void CreateSettingsPage(HWND page, HFONT font);
// WM_COMMAND / WM_NOTIFY of the page's controls; true when handled.
bool RouteSettingsCommand(WPARAM wParam, LPARAM lParam);
bool RouteSettingsNotify(LPARAM lParam);
const ui::ControlDef* SettingsControls(std::size_t* count);
}  // namespace toolswin

void FillSettingsTables();
// Runs when the tools window is being destroyed, however it is closed.
void OnToolsWindowDestroyed();
