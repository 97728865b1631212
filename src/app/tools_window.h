// The tools window: one modeless window owned by the main window, with two tab pages.
#pragma once
#include <windows.h>

#include <cstddef>

#include "app/ui.h"

namespace toolswin {
extern HWND window;
extern HWND 选择夹1, 页面_工具, 页面_设置;

constexpr int kControlIdBase = 2000;
const ui::ControlDef* Controls(std::size_t* count);
// Shows page 0 or 1 as the tab control would.
void ShowPage(int page);
}  // namespace toolswin

// Opens the tools window, or brings the open one to the front (restoring it when minimised).
void ShowToolsWindow(HWND owner);
void CloseToolsWindow();
// Gives the tools window's dialog keys their turn; true when the message was used.
bool IsToolsWindowMessage(MSG& msg);
