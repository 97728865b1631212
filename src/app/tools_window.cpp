#include "app/tools_window.h"

#include <commctrl.h>

#include "common/gbk.h"
#include "common/globals.h"
#include "common/platform.h"
#include "online/notice.h"
#include "online/picture_box.h"
#include "online/settings_page.h"
#include "online/update_check.h"

namespace toolswin {
HWND window;
HWND 选择夹1, 页面_工具, 页面_设置;
HWND 标签1, 标签2, 超级列表框1, 分组框1, 图片框_广告;

namespace {
using ui::Kind;

ui::ControlDef g_controls[] = {
    {&选择夹1, "选择夹1", Kind::Tab, nullptr, 0, 0, 584, 400, "", nullptr},
    {&页面_工具, "页面_工具", Kind::Page, nullptr, 0, 0, 0, 0, "", nullptr},
    {&页面_设置, "页面_设置", Kind::Page, nullptr, 0, 0, 0, 0, "", nullptr},
    {&标签1, "标签1", Kind::Label, &页面_工具, 82, 47, 226, 32, "常用软件工具集", nullptr},
    // One line: what does not fit is cut rather than wrapped out of sight.
    {&标签2, "标签2", Kind::Label, &页面_工具, 314, 63, 178, 14,
     "[动态更新]QQ群" TESSARO_QQ_GROUP "/" TESSARO_QQ_GROUP2, nullptr, SS_LEFTNOWORDWRAP},
    {&超级列表框1, "超级列表框1", Kind::ListView, &页面_工具, 3, 95, 275, 300, "", ShowToolPicture,
     WS_DISABLED},
    // The group box must not paint over the picture it frames.
    {&分组框1, "分组框1", Kind::Group, &页面_工具, 279, 89, 300, 307, "点击下面图片下载", nullptr,
     WS_CLIPSIBLINGS},
    {&图片框_广告, "图片框_广告", Kind::Picture, &分组框1, 9, 26, 286, 269, "", OpenToolLink,
     WS_DISABLED | WS_CLIPSIBLINGS},
};
constexpr std::size_t kCount = sizeof g_controls / sizeof g_controls[0];
const wchar_t kClassName[] = L"TessaroTools";
HFONT g_font, g_titleFont, g_qqFont, g_listFont, g_boldFont;

void SetUpToolsPage() {
  if (!g_titleFont) {
    g_titleFont = ui::MakeFont("宋体", 32, false);
    g_qqFont = ui::MakeFont("宋体", 12, false);
    g_listFont = ui::MakeFont("宋体", 14, false);
    g_boldFont = ui::MakeFont("宋体", 16, true);
  }
  SendMessageW(标签1, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), FALSE);
  SendMessageW(标签2, WM_SETFONT, reinterpret_cast<WPARAM>(g_qqFont), FALSE);
  SendMessageW(超级列表框1, WM_SETFONT, reinterpret_cast<WPARAM>(g_listFont), FALSE);
  SendMessageW(分组框1, WM_SETFONT, reinterpret_cast<WPARAM>(g_boldFont), FALSE);
  SendMessageW(超级列表框1, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const char* headers[] = {"序", "软件名"};
  const int widths[] = {30, 220};
  for (int i = 0; i < 2; ++i) {
    std::wstring w = GbkToWide(headers[i]);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = w.data();
    c.cx = widths[i];
    c.iSubItem = i;
    SendMessageW(超级列表框1, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&c));
  }
  // A group box paints its frame only: the page must paint the inside, which its
  // WS_CLIPCHILDREN would leave out unless the box is transparent. The picture lies above it.
  SetWindowLongPtrW(分组框1, GWL_EXSTYLE, GetWindowLongPtrW(分组框1, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  SetWindowPos(分组框1, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  SetWindowPos(图片框_广告, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int AppendRow() {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageW(超级列表框1, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<wchar_t*>(L"");
  return static_cast<int>(SendMessageW(超级列表框1, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCell(int row, int column, const Text& text) {
  std::wstring w = GbkToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = w.data();
  SendMessageW(超级列表框1, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// The first selected row, or -1.
int CurrentRow() {
  return static_cast<int>(SendMessageW(超级列表框1, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void AddTabs() {
  const char* names[] = {"常用CAD软件", "合图器设置"};
  for (int i = 0; i < 2; ++i) {
    std::wstring w = GbkToWide(names[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = w.data();
    SendMessageW(选择夹1, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  // Pages cover the tab control's display area.
  RECT r;
  GetClientRect(选择夹1, &r);
  SendMessageW(选择夹1, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  for (HWND page : {页面_工具, 页面_设置})
    SetWindowPos(page, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
  ShowPage(0);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NOTIFY: {
      const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
      if (nm->hwndFrom == 选择夹1 && nm->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(选择夹1, TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      if (ui::RouteNotify(g_controls, kCount, kControlIdBase, lParam)) return 0;
      if (RouteSettingsNotify(lParam)) return 0;
      break;
    }
    case WM_COMMAND:
      if (ui::RouteCommand(g_controls, kCount, kControlIdBase, wParam, lParam)) return 0;
      if (RouteSettingsCommand(wParam, lParam)) return 0;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (HBRUSH b = ui::ControlColour(msg, reinterpret_cast<HDC>(wParam),
                                       reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(b);
      break;
    case WM_DESTROY:
      if (hwnd == window) {
        window = nullptr;
        OnToolsWindowDestroyed();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterToolsClass() {
  ui::RegisterClassOnce(kClassName, WndProc, IDC_ARROW,
                        static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
}  // namespace

const ui::ControlDef* Controls(std::size_t* count) {
  *count = kCount;
  return g_controls;
}

void ShowPage(int page) {
  SendMessageW(选择夹1, TCM_SETCURSEL, page, 0);
  ShowWindow(页面_工具, page == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(页面_设置, page == 1 ? SW_SHOW : SW_HIDE);
}
}  // namespace toolswin

void ShowToolsWindow(HWND owner) {
  using namespace toolswin;
  if (window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    return;
  }
  RegisterToolsClass();
  RegisterPictureBoxClass();
  if (!g_font) g_font = ui::MakeFont("宋体", 16, false);
  RECT o{};
  GetWindowRect(owner, &o);
  const int w = 590, h = 430;
  window = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName,
                           GbkToWide("CAD工具集[动态更新]").c_str(),
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                           o.left + ((o.right - o.left) - w) / 2, o.top + ((o.bottom - o.top) - h) / 2,
                           w, h, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return;
  ui::CreateControls(window, g_controls, kCount, kControlIdBase, g_font);
  SetUpToolsPage();
  AddTabs();
  CreateSettingsPage(页面_设置, g_font);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  OnToolsWindowCreated();
}

void OnToolsWindowCreated() {
  using namespace toolswin;
  toolLinks.clear();
  toolPictureUrls.clear();
  bool connected = false;
  const std::vector<ToolEntry> tools = ParseTools(FetchUrl(NoticeFileUrl()), &connected);
  if (!connected) {
    // List and picture stay disabled until the next opening.
    ui::SetText(window, ui::GetText(window) + "[未连接网络]");
  } else {
    for (const ToolEntry& tool : tools) {
      const int row = AppendRow();
      SetCell(row, 0, IntToText(static_cast<std::int32_t>(SendMessageW(超级列表框1, LVM_GETITEMCOUNT, 0, 0))));
      SetCell(row, 1, tool.name);
      toolLinks.push_back(tool.link);
      toolPictureUrls.push_back(tool.pictureUrl);
    }
    ShowToolPicture();
    EnableWindow(超级列表框1, TRUE);
    EnableWindow(图片框_广告, TRUE);
  }
  FillSettingsTables();
  selectedTable = 0;
}

void ShowToolPicture() {
  using namespace toolswin;
  int r = CurrentRow();
  if (r < 1) r = 0;
  // A file without tool entries has no picture to show.
  if (static_cast<std::size_t>(r) >= toolPictureUrls.size() || toolPictureUrls[r].empty()) {
    SetPictureBytes(图片框_广告, std::string());
    return;
  }
  SetPictureBytes(图片框_广告, FetchUrl(toolPictureUrls[r]));
}

void OpenToolLink() {
  using namespace toolswin;
  int r = CurrentRow();
  if (r < 0) r = 0;  // no row selected: the picture shown is the first tool's
  if (static_cast<std::size_t>(r) >= toolLinks.size()) return;
  // The link comes from the network: the shell is given web addresses only, never a program
  // or a file to run.
  if (IsWebAddress(toolLinks[r])) OpenUrl(toolLinks[r]);
}

void CloseToolsWindow() {
  if (toolswin::window) DestroyWindow(toolswin::window);
}

bool IsToolsWindowMessage(MSG& msg) {
  return toolswin::window && IsDialogMessageW(toolswin::window, &msg);
}
