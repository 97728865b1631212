// The tools window: one modeless window owned by the main window, with two tab pages.
#pragma once
#include <windows.h>

#include <cstddef>

#include "app/ui.h"

namespace toolswin {
extern HWND window;
extern HWND 选择夹1, 页面_工具, 页面_设置;
// The first page, "常用CAD软件".
extern HWND 标签1, 标签2, 超级列表框1, 分组框1, 图片框_广告;

constexpr int kControlIdBase = 2000;
const ui::ControlDef* Controls(std::size_t* count);
// Shows page 0 or 1 as the tab control would.
void ShowPage(int page);
}  // namespace toolswin

// The creation handler: fills the tool list from the remote notice file, then the second page.
void OnToolsWindowCreated();
// Shows the picture of the tool list's current row (the first tool's when none or the first is).
void ShowToolPicture();
// A press on the picture opens the current row's tool link (the first tool's when no row is).
void OpenToolLink();

// Opens the tools window, or brings the open one to the front (restoring it when minimised).
void ShowToolsWindow(HWND owner);
void CloseToolsWindow();
// Gives the tools window's dialog keys their turn; true when the message was used.
bool IsToolsWindowMessage(MSG& msg);
