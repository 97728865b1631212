// The main window: its controls, start-up sequence and the procedures of the shell.
#pragma once
#include <windows.h>

#include <cstddef>

#include "app/ui.h"

namespace mainwin {
extern HWND window;
extern HWND 标签1, 标签9, 选择框_网页, 按钮_广告, 分组框1, 单选框_横, 单选框_竖, 单选框_混, 单选框_定,
    分组框3, 标签2, 编辑框_间距, 标签_行数量, 编辑框_行数量, 标签6, 组合框_尺寸, 标签3,
    编辑框_水平尺寸, 标签4, 编辑框_垂直尺寸, 标签7, 编辑框_定向水平数量, 标签8,
    编辑框_定向垂直数量, 超级列表框1, 分组框2, 按钮_增加, 按钮_上移, 按钮_删除, 按钮_下移,
    按钮_清空, 按钮_置顶, 按钮_关闭, 按钮_置底, 按钮_开始合图, 标签5;

constexpr int kControlIdBase = 1000;
const ui::ControlDef* Controls(std::size_t* count);
}  // namespace mainwin

// Program texts that depend on the build's options.
Text HomePageUrl();
Text HelpPageUrl();
Text QqGroup();

void InitGlobals();
void FreeGlobals();

// Creates and shows the main window, then runs OnMainWindowCreated. Returns the window.
HWND CreateMainWindow();
// Runs the message loop until the main window is destroyed.
void RunMessageLoop();
// Handles one message as the loop does (dialog keys, Esc); tests pump with it.
void DispatchAppMessage(MSG& msg);

void OnMainWindowCreated();
void SaveHelpFlag();
void OpenHomePage();
void OpenToolsWindow();
void ConfirmClose();
