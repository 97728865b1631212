#include "app/tools_window.h"

#include <commctrl.h>

#include "common/gbk.h"
#include "online/settings_page.h"

namespace toolswin {
HWND window;
HWND 选择夹1, 页面_工具, 页面_设置;

namespace {
using ui::Kind;

ui::ControlDef g_controls[] = {
    {&选择夹1, "选择夹1", Kind::Tab, nullptr, 0, 0, 584, 400, "", nullptr},
    {&页面_工具, "页面_工具", Kind::Page, nullptr, 0, 0, 0, 0, "", nullptr},
    {&页面_设置, "页面_设置", Kind::Page, nullptr, 0, 0, 0, 0, "", nullptr},
};
constexpr std::size_t kCount = sizeof g_controls / sizeof g_controls[0];
const wchar_t kClassName[] = L"TessaroTools";
HFONT g_font;

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
  static bool done = false;
  if (done) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
  done = true;
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
  AddTabs();
  CreateSettingsPage(页面_设置, g_font);
  FillSettingsTables();
  ShowWindow(window, SW_SHOWNORMAL);
}

void CloseToolsWindow() {
  if (toolswin::window) DestroyWindow(toolswin::window);
}

bool IsToolsWindowMessage(MSG& msg) {
  return toolswin::window && IsDialogMessageW(toolswin::window, &msg);
}
