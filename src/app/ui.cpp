#include "app/ui.h"

#include <commctrl.h>

#include <map>
#include <vector>

#include "common/gbk.h"

namespace ui {
namespace {

const wchar_t kPageClass[] = L"TessaroPage";

// Pages forward their children's notifications to the top-level window that owns the table.
LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

void RegisterPageClass() {
  RegisterClassOnce(kPageClass, PageProc, IDC_ARROW, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

std::map<HWND, COLORREF>& EditColours() {
  static std::map<HWND, COLORREF> colours;
  return colours;
}

HBRUSH BrushFor(COLORREF colour) {
  static std::map<COLORREF, HBRUSH> brushes;
  auto it = brushes.find(colour);
  if (it != brushes.end()) return it->second;
  HBRUSH b = CreateSolidBrush(colour);
  brushes[colour] = b;
  return b;
}

}  // namespace

void CreateControls(HWND window, ControlDef* defs, std::size_t count, int base, HFONT defaultFont) {
  RegisterPageClass();
  HINSTANCE inst = GetModuleHandleW(nullptr);
  for (std::size_t i = 0; i < count; ++i) {
    ControlDef& d = defs[i];
    HWND parent = window;
    int x = d.x, y = d.y;
    if (d.parent) {
      // A group box only frames its controls: they stay children of the window, offset by it.
      const ControlDef* p = nullptr;
      for (std::size_t k = 0; k < i; ++k)
        if (defs[k].handle == d.parent) p = &defs[k];
      if (p && p->kind == Kind::Group) {
        x += p->x;
        y += p->y;
        // Nested inside a page: keep the page as parent.
        if (p->parent) {
          for (std::size_t k = 0; k < i; ++k)
            if (defs[k].handle == p->parent && defs[k].kind == Kind::Page) parent = *p->parent;
        }
      } else if (p) {
        parent = *d.parent;
      }
    }
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | d.style;
    DWORD ex = 0;
    switch (d.kind) {
      case Kind::Button: cls = L"BUTTON"; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
      case Kind::Label: cls = L"STATIC"; style |= SS_LEFT | SS_NOTIFY; break;
      case Kind::CheckBox: cls = L"BUTTON"; style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
      case Kind::Radio: cls = L"BUTTON"; style |= BS_AUTORADIOBUTTON; break;
      case Kind::Edit:
        cls = L"EDIT";
        style |= ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP;
        ex = WS_EX_CLIENTEDGE;
        break;
      case Kind::Combo: cls = L"COMBOBOX"; style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP; break;
      case Kind::Group: cls = L"BUTTON"; style |= BS_GROUPBOX; break;
      case Kind::ListView:
        cls = WC_LISTVIEWW;
        style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP;
        ex = WS_EX_CLIENTEDGE;
        break;
      case Kind::Tab: cls = WC_TABCONTROLW; style |= WS_CLIPSIBLINGS | WS_TABSTOP; break;
      case Kind::Page: cls = kPageClass; style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN; break;
      case Kind::Picture: cls = L"TessaroPicture"; style |= SS_NOTIFY; break;
      case Kind::Grid: cls = L"TessaroGrid"; style |= WS_TABSTOP; ex = WS_EX_CLIENTEDGE; break;
    }
    // A combo box's height is that of its dropped-down list.
    int h = d.kind == Kind::Combo ? d.h + 200 : d.h;
    HWND hwnd = CreateWindowExW(ex, cls, GbkToWide(d.text ? d.text : "").c_str(), style, x, y, d.w,
                                h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(base + i)),
                                inst, nullptr);
    if (d.handle) *d.handle = hwnd;
    if (hwnd && defaultFont) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont), FALSE);
    if (d.kind == Kind::Edit && hwnd) SetEditBackground(hwnd, RGB(255, 255, 255));
    if (d.kind == Kind::Page && hwnd) SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

bool RouteCommand(const ControlDef* defs, std::size_t count, int base, WPARAM wParam, LPARAM) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  if (id < base || id >= base + static_cast<int>(count)) return false;
  const ControlDef& d = defs[id - base];
  if (!d.onEvent) return false;
  bool fire = false;
  switch (d.kind) {
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::Radio: fire = code == BN_CLICKED; break;
    case Kind::Label:
    case Kind::Picture: fire = code == STN_CLICKED; break;
    // CBN_SELCHANGE comes from the user's pick only, never from CB_SETCURSEL.
    case Kind::Combo: fire = code == CBN_SELCHANGE; break;
    default: break;
  }
  if (fire) d.onEvent();
  return fire;
}

bool RouteNotify(const ControlDef* defs, std::size_t count, int base, LPARAM lParam) {
  const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
  int id = static_cast<int>(nm->idFrom);
  if (id < base || id >= base + static_cast<int>(count)) return false;
  const ControlDef& d = defs[id - base];
  if (!d.onEvent) return false;
  if ((d.kind == Kind::ListView && nm->code == NM_CLICK) ||
      (d.kind == Kind::Grid && nm->code == NM_CLICK)) {
    d.onEvent();
    return true;
  }
  return false;
}

const ControlDef* FindByName(const ControlDef* defs, std::size_t count, const char* name) {
  for (std::size_t i = 0; i < count; ++i)
    if (Text(defs[i].name) == name) return &defs[i];
  return nullptr;
}

void SetText(HWND control, const Text& text) { SetWindowTextW(control, GbkToWide(text).c_str()); }

Text GetText(HWND control) {
  int n = GetWindowTextLengthW(control);
  std::wstring buf(static_cast<std::size_t>(n) + 1, L'\0');
  n = GetWindowTextW(control, buf.data(), n + 1);
  buf.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return WideToGbk(buf);
}

void RegisterClassOnce(const wchar_t* name, WNDPROC proc, LPCWSTR cursor, HBRUSH background,
                       UINT style, HICON icon) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW existing;
  if (GetClassInfoW(inst, name, &existing)) return;
  WNDCLASSW wc{};
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, cursor);
  wc.hIcon = icon;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

HFONT MakeFont(const Text& face, int pixelHeight, bool bold) {
  return CreateFontW(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, GbkToWide(face).c_str());
}

void SetEditBackground(HWND edit, COLORREF colour) {
  EditColours()[edit] = colour;
  InvalidateRect(edit, nullptr, TRUE);
}

COLORREF EditBackground(HWND edit) {
  auto it = EditColours().find(edit);
  return it == EditColours().end() ? RGB(255, 255, 255) : it->second;
}

HBRUSH ControlColour(UINT msg, HDC dc, HWND control) {
  auto it = EditColours().find(control);
  if (it != EditColours().end() && (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC)) {
    SetBkColor(dc, it->second);
    SetTextColor(dc, IsWindowEnabled(control) ? RGB(0, 0, 0) : RGB(80, 80, 80));
    return BrushFor(it->second);
  }
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
    SetBkColor(dc, RGB(255, 255, 255));
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  }
  return nullptr;
}

}  // namespace ui
