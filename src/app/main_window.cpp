#include "app/main_window.h"

#include <commctrl.h>

#include "app/modes.h"
#include "app/tools_window.h"
#include "cad/cad_connection.h"
#include "cad/merge_run.h"
#include "drawing_list/drawing_list.h"
#include "online/update_check.h"
#include "cad/automation.h"
#include "common/globals.h"
#include "common/platform.h"
#include "settings/settings.h"

namespace mainwin {
HWND window;
HWND 标签1, 标签9, 选择框_网页, 按钮_广告, 分组框1, 单选框_横, 单选框_竖, 单选框_混, 单选框_定, 分组框3,
    标签2, 编辑框_间距, 标签_行数量, 编辑框_行数量, 标签6, 组合框_尺寸, 标签3, 编辑框_水平尺寸, 标签4,
    编辑框_垂直尺寸, 标签7, 编辑框_定向水平数量, 标签8, 编辑框_定向垂直数量, 超级列表框1, 分组框2,
    按钮_增加, 按钮_上移, 按钮_删除, 按钮_下移, 按钮_清空, 按钮_置顶, 按钮_关闭, 按钮_置底,
    按钮_开始合图, 标签5;

namespace {
using ui::Kind;
const Text kHint = Text("提示:本工具将多个CAD文件合并成一个文件,支持AutoCAD现有版本,同时支持国产CAD软件( 中望 及 浩辰 ) QQ群:") +
                   TESSARO_QQ_GROUP;

// The main window's controls, in creation order. Controls inside a group box are placed
// relative to it.
ui::ControlDef g_controls[] = {
    {&标签1, "标签1", Kind::Label, nullptr, 256, 16, 304, 40, "Tessaro", OpenHomePage},
    {&标签9, "标签9", Kind::Label, nullptr, 561, 36, 39, 16, "V3.2", nullptr},
    {&选择框_网页, "选择框_网页", Kind::CheckBox, nullptr, 709, 6, 128, 16, "启动后打开帮助页面", SaveHelpFlag},
    {&按钮_广告, "按钮_广告", Kind::Button, nullptr, 708, 24, 130, 32, "CAD工具及设置", OpenToolsWindow},
    {&分组框1, "分组框1", Kind::Group, nullptr, 5, 77, 211, 95, "排列方式", nullptr},
    {&单选框_横, "单选框_横", Kind::Radio, &分组框1, 11, 25, 88, 24, "横    排", SelectHorizontalMode, WS_GROUP},
    {&单选框_竖, "单选框_竖", Kind::Radio, &分组框1, 119, 25, 88, 24, "竖    排", SelectVerticalMode},
    {&单选框_混, "单选框_混", Kind::Radio, &分组框1, 11, 58, 88, 24, "混 合 排", SelectMixedMode},
    {&单选框_定, "单选框_定", Kind::Radio, &分组框1, 119, 58, 88, 24, "定 向 排", SelectDirectionalMode},
    {&分组框3, "分组框3", Kind::Group, nullptr, 220, 77, 620, 95, "参数设置", nullptr, WS_GROUP},
    {&标签2, "标签2", Kind::Label, &分组框3, 8, 28, 70, 24, "图纸间距:", nullptr},
    {&编辑框_间距, "编辑框_间距", Kind::Edit, &分组框3, 80, 28, 60, 24, "10", nullptr},
    {&标签_行数量, "标签_行数量", Kind::Label, &分组框3, 168, 28, 72, 24, "每行数量:", nullptr},
    {&编辑框_行数量, "编辑框_行数量", Kind::Edit, &分组框3, 241, 28, 60, 24, "10", nullptr},
    {&标签6, "标签6", Kind::Label, &分组框3, 338, 28, 72, 24, "图纸尺寸:", nullptr},
    {&组合框_尺寸, "组合框_尺寸", Kind::Combo, &分组框3, 413, 28, 194, 24, "", ApplySizePreset},
    {&标签3, "标签3", Kind::Label, &分组框3, 8, 60, 70, 24, "图纸长度:", nullptr},
    {&编辑框_水平尺寸, "编辑框_水平尺寸", Kind::Edit, &分组框3, 80, 59, 60, 24, "420", nullptr},
    {&标签4, "标签4", Kind::Label, &分组框3, 168, 60, 70, 24, "图纸宽度:", nullptr},
    {&编辑框_垂直尺寸, "编辑框_垂直尺寸", Kind::Edit, &分组框3, 242, 62, 60, 24, "297", nullptr},
    {&标签7, "标签7", Kind::Label, &分组框3, 337, 60, 91, 24, "定向水平数:", nullptr},
    {&编辑框_定向水平数量, "编辑框_定向水平数量", Kind::Edit, &分组框3, 428, 60, 35, 24, "4", nullptr},
    {&标签8, "标签8", Kind::Label, &分组框3, 481, 59, 91, 24, "定向垂直数:", nullptr},
    {&编辑框_定向垂直数量, "编辑框_定向垂直数量", Kind::Edit, &分组框3, 572, 59, 35, 24, "3", nullptr},
    {&超级列表框1, "超级列表框1", Kind::ListView, nullptr, 5, 181, 630, 296, "", nullptr},
    {&分组框2, "分组框2", Kind::Group, nullptr, 640, 173, 200, 305, "图纸文件操作", nullptr},
    {&按钮_增加, "按钮_增加", Kind::Button, &分组框2, 12, 29, 80, 40, "增加", AddDrawings},
    {&按钮_上移, "按钮_上移", Kind::Button, &分组框2, 108, 29, 80, 40, "上移", MoveRowUp},
    {&按钮_删除, "按钮_删除", Kind::Button, &分组框2, 12, 75, 80, 40, "删除", RemoveSelectedRows},
    {&按钮_下移, "按钮_下移", Kind::Button, &分组框2, 108, 75, 80, 40, "下移", MoveRowDown},
    {&按钮_清空, "按钮_清空", Kind::Button, &分组框2, 12, 143, 80, 40, "清空", ClearDrawingList},
    {&按钮_置顶, "按钮_置顶", Kind::Button, &分组框2, 108, 143, 80, 40, "置顶", MoveRowToTop},
    {&按钮_关闭, "按钮_关闭", Kind::Button, &分组框2, 12, 190, 80, 40, "关闭", ConfirmClose},
    {&按钮_置底, "按钮_置底", Kind::Button, &分组框2, 108, 190, 80, 40, "置底", MoveRowToBottom},
    {&按钮_开始合图, "按钮_开始合图", Kind::Button, &分组框2, 11, 243, 176, 48, "开始合图", RunMerge},
    {&标签5, "标签5", Kind::Label, nullptr, 5, 480, 835, 20, kHint.c_str(), OpenHomePage},
};
constexpr std::size_t kCount = sizeof g_controls / sizeof g_controls[0];

HFONT g_defaultFont, g_titleFont, g_startFont, g_boldFont;
const wchar_t kClassName[] = L"TessaroMain";

void CreateFonts() {
  if (g_defaultFont) return;
  g_defaultFont = ui::MakeFont("宋体", 12, false);
  g_titleFont = ui::MakeFont("黑体", 40, false);
  g_startFont = ui::MakeFont("黑体", 19, false);
  g_boldFont = ui::MakeFont("宋体", 12, true);
}

void SetupControls() {
  SendMessageW(标签1, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), FALSE);
  SendMessageW(按钮_开始合图, WM_SETFONT, reinterpret_cast<WPARAM>(g_startFont), FALSE);
  SendMessageW(按钮_广告, WM_SETFONT, reinterpret_cast<WPARAM>(g_boldFont), FALSE);
  SendMessageW(标签5, WM_SETFONT, reinterpret_cast<WPARAM>(g_boldFont), FALSE);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && lParam == 0) {  // Esc, through the dialog keys
        DestroyWindow(hwnd);
        return 0;
      }
      if (ui::RouteCommand(g_controls, kCount, kControlIdBase, wParam, lParam)) return 0;
      break;
    case WM_NOTIFY:
      if (ui::RouteNotify(g_controls, kCount, kControlIdBase, lParam)) return 0;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (HBRUSH b = ui::ControlColour(msg, reinterpret_cast<HDC>(wParam),
                                       reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(b);
      break;
    case WM_DESTROY:
      CloseToolsWindow();
      if (hwnd == window) {
        window = nullptr;
        PostQuitMessage(0);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterMainClass() {
  ui::RegisterClassOnce(kClassName, WndProc, IDC_ARROW,
                        static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), 0,
                        LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
}
}  // namespace

const ui::ControlDef* Controls(std::size_t* count) {
  *count = kCount;
  return g_controls;
}
}  // namespace mainwin

Text HomePageUrl() { return Text("https://") + TESSARO_WEB_HOST; }
Text HelpPageUrl() { return HomePageUrl() + "/?post=73"; }
Text QqGroup() { return TESSARO_QQ_GROUP; }

void InitGlobals() {
  ResetPortableGlobals();
  cadApplication.Release();
  activeDocument.Release();
  modelSpace.Release();
  cadUtility.Release();
  lastBlockReference.Release();
}

void FreeGlobals() {
  sizeEntries.clear();
  sizeListText.clear();
  helpFlagText.clear();
  lastFolder.clear();
  versionListText.clear();
  cadApplication.Release();
  activeDocument.Release();
  modelSpace.Release();
  cadUtility.Release();
  lastBlockReference.Release();
  toolLinks.clear();
  toolPictureUrls.clear();
}

HWND CreateMainWindow() {
  using namespace mainwin;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterMainClass();
  CreateFonts();
  const int w = 850, h = 530;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = work.left + (work.right - work.left - w) / 2;
  int y = work.top + (work.bottom - work.top - h) / 2;
  window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kClassName, L"",
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, y, w, h,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  ui::CreateControls(window, g_controls, kCount, kControlIdBase, g_defaultFont);
  SetupControls();
  drawing_list::SetupColumns();
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  OnMainWindowCreated();
  return window;
}

void DispatchAppMessage(MSG& msg) {
  if (IsToolsWindowMessage(msg)) return;
  if (mainwin::window && IsDialogMessageW(mainwin::window, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchAppMessage(msg);
}

void OnMainWindowCreated() {
  using namespace mainwin;
  SelectHorizontalMode();
  SetFocus(按钮_增加);
  LoadSettings();
  ConnectToCad();
  // The help page opens when asked for, and at every twentieth start.
  if (helpFlagText == "1" || runCount % 20 == 0) {
    SendMessageW(选择框_网页, BM_SETCHECK, BST_CHECKED, 0);
    SaveHelpFlag();
    OpenUrl(HelpPageUrl());
  }
  PrepareSizePresets();
  CheckForUpdate();
}

void SaveHelpFlag() {
  bool checked = SendMessageW(mainwin::选择框_网页, BM_GETCHECK, 0, 0) == BST_CHECKED;
  WriteSetting("帮助", checked ? "1" : "0");
}

void OpenHomePage() { OpenUrl(HomePageUrl()); }

void OpenToolsWindow() { ShowToolsWindow(mainwin::window); }

void ConfirmClose() {
  const Text text = Text(18, ' ') + "你确定要关闭本工具吗？" + Text(13, ' ');
  const Text title = "QQ群:" + QqGroup() + " 提示：";
  if (ShowMessage(mainwin::window, text, title, MB_OKCANCEL | MB_TASKMODAL) == IDOK)
    DestroyWindow(mainwin::window);
}
