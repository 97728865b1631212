#include "online/grid.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/ui.h"
#include "common/gbk.h"
#include "online/grid_model.h"

namespace grid {
namespace {

const wchar_t kProp[] = L"TessaroGrid.data";
constexpr int kEditId = 1;

struct GridData {
  HWND hwnd = nullptr;
  GridModel model;
  COLORREF line = RGB(192, 192, 192);
  COLORREF background = RGB(255, 255, 255);
  HFONT font = nullptr;
  HWND edit = nullptr;
  WNDPROC editProc = nullptr;
  bool editing = false;
  int editRow = -1, editColumn = -1;
  bool pressed = false;
  int pressRow = -1, pressColumn = -1;
};

// Found through a window property so that a handle of any other window reads as "not a grid".
GridData* Data(HWND hwnd) {
  return hwnd ? static_cast<GridData*>(GetPropW(hwnd, kProp)) : nullptr;
}

int ClientHeight(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return r.bottom - r.top;
}

int Visible(GridData* d) { return GridModel::VisibleDataRows(ClientHeight(d->hwnd)); }

void UpdateScroll(GridData* d) {
  const int visible = Visible(d);
  d->model.ScrollTo(d->model.TopRow(), visible);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 1;
  si.nMax = std::max(d->model.RowCount() - 1, 1);
  si.nPage = static_cast<UINT>(visible);
  si.nPos = d->model.TopRow();
  SetScrollInfo(d->hwnd, SB_VERT, &si, TRUE);
}

void Redraw(GridData* d) { InvalidateRect(d->hwnd, nullptr, FALSE); }

bool EndEdit(GridData* d, bool keep, bool refocus) {
  if (!d->editing) return false;
  d->editing = false;  // first: hiding the box moves the focus, which comes back here
  if (keep) {
    const int n = GetWindowTextLengthW(d->edit);
    std::wstring buf(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(d->edit, buf.data(), n + 1);
    buf.resize(static_cast<std::size_t>(std::max(got, 0)));
    d->model.SetCell(d->editRow, d->editColumn, WideToGbk(buf));
  }
  if (refocus && GetFocus() == d->edit) SetFocus(d->hwnd);
  ShowWindow(d->edit, SW_HIDE);
  Redraw(d);
  return true;
}

void Scroll(GridData* d, int topRow) {
  EndEdit(d, true, true);
  d->model.ScrollTo(topRow, Visible(d));
  UpdateScroll(d);
  Redraw(d);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND owner = GetParent(hwnd);
  GridData* d = Data(owner);
  if (!d) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter and Esc belong to the edit, not to the dialog keys of the window around it.
      LRESULT code = CallWindowProcW(d->editProc, hwnd, msg, wParam, lParam);
      const MSG* m = reinterpret_cast<const MSG*>(lParam);
      if (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) &&
          (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
        code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        EndEdit(d, true, true);
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        EndEdit(d, false, true);
        return 0;
      }
      if (wParam == VK_UP || wParam == VK_DOWN) {
        EndEdit(d, true, true);
        SendMessageW(owner, WM_KEYDOWN, wParam, lParam);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r' || wParam == 27) return 0;
      break;
    case WM_KILLFOCUS: {
      LRESULT r = CallWindowProcW(d->editProc, hwnd, msg, wParam, lParam);
      EndEdit(d, true, false);  // a click elsewhere keeps what was typed
      return r;
    }
    default:
      break;
  }
  return CallWindowProcW(d->editProc, hwnd, msg, wParam, lParam);
}

bool StartEdit(GridData* d, int row, int column, const std::wstring* typed) {
  if (!d->model.Editable(row, column)) return false;
  EndEdit(d, true, false);
  d->model.SetCurrent(row, column);
  d->model.EnsureVisible(row, Visible(d));
  UpdateScroll(d);
  int l, t, r, b;
  if (!d->model.CellRect(row, column, &l, &t, &r, &b)) return false;
  if (!d->edit) {
    d->edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, d->hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                              GetModuleHandleW(nullptr), nullptr);
    if (!d->edit) return false;
    d->editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(d->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  }
  SendMessageW(d->edit, WM_SETFONT, reinterpret_cast<WPARAM>(d->font), FALSE);
  // Inside the cell's grid lines (right and bottom edge).
  SetWindowPos(d->edit, HWND_TOP, l + 1, t + 1, r - l - 2, b - t - 2, SWP_NOACTIVATE);
  const std::wstring text = typed ? *typed : GbkToWide(d->model.Cell(row, column));
  SetWindowTextW(d->edit, text.c_str());
  d->editRow = row;
  d->editColumn = column;
  d->editing = true;
  ShowWindow(d->edit, SW_SHOW);
  SetFocus(d->edit);
  if (typed) SendMessageW(d->edit, EM_SETSEL, text.size(), text.size());
  else SendMessageW(d->edit, EM_SETSEL, 0, -1);
  Redraw(d);
  return true;
}

void Paint(GridData* d, HDC dc) {
  RECT client;
  GetClientRect(d->hwnd, &client);
  HBRUSH window = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &client, window);
  DeleteObject(window);
  HGDIOBJ oldFont = SelectObject(dc, d->font ? d->font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF fixedFace = GetSysColor(COLOR_BTNFACE), fixedLine = GetSysColor(COLOR_BTNSHADOW);
  HBRUSH fixedBrush = CreateSolidBrush(fixedFace), cellBrush = CreateSolidBrush(d->background);
  HPEN fixedPen = CreatePen(PS_SOLID, 1, fixedLine), cellPen = CreatePen(PS_SOLID, 1, d->line);
  const GridModel& m = d->model;
  auto drawRow = [&](int row) {
    for (int c = 0; c < m.ColumnCount(); ++c) {
      int l, t, r, b;
      if (!m.CellRect(row, c, &l, &t, &r, &b) || r <= l) continue;
      const bool fixed = row == 0 || c == 0;
      RECT cell{l, t, r, b};
      FillRect(dc, &cell, fixed ? fixedBrush : cellBrush);
      const std::wstring text = GbkToWide(m.Cell(row, c));
      // Narrow columns ("序号" in 35 pixels) need all the room inside the lines; text that is
      // still too long is clipped at the cell's edge.
      const bool centred = m.Centred(row, c);
      RECT inner{l + (centred ? 1 : 3), t, r - (centred ? 1 : 2), b - 1};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (centred ? DT_CENTER : DT_LEFT));
      SelectObject(dc, fixed ? fixedPen : cellPen);
      MoveToEx(dc, r - 1, t, nullptr);
      LineTo(dc, r - 1, b - 1);
      LineTo(dc, l - 1, b - 1);
    }
  };
  drawRow(0);
  for (int row = m.TopRow(); row < m.RowCount(); ++row) {
    int l, t, r, b;
    if (!m.CellRect(row, 0, &l, &t, &r, &b) || t >= client.bottom) break;
    drawRow(row);
  }
  int l, t, r, b;
  if (!d->editing && m.CellRect(m.CurrentRow(), m.CurrentColumn(), &l, &t, &r, &b)) {
    HPEN framePen = CreatePen(PS_SOLID, 2, RGB(0, 84, 227));
    SelectObject(dc, framePen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, l + 1, t + 1, r, b);
    SelectObject(dc, cellPen);
    DeleteObject(framePen);
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(fixedBrush);
  DeleteObject(cellBrush);
  DeleteObject(fixedPen);
  DeleteObject(cellPen);
}

void PaintBuffered(GridData* d) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(d->hwnd, &ps);
  RECT client;
  GetClientRect(d->hwnd, &client);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                       std::max<LONG>(client.bottom, 1));
  HGDIOBJ old = SelectObject(mem, bmp);
  Paint(d, mem);
  BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  EndPaint(d->hwnd, &ps);
}

void MoveCurrent(GridData* d, int key) {
  GridModel& m = d->model;
  if (m.RowCount() < 2) return;
  int r = m.CurrentRow(), c = m.CurrentColumn();
  const int last = m.RowCount() - 1, visible = Visible(d);
  if (r < 1) {
    r = 1;
    c = std::min(1, m.ColumnCount() - 1);
  } else {
    switch (key) {
      case VK_UP: r = std::max(r - 1, 1); break;
      case VK_DOWN: r = std::min(r + 1, last); break;
      case VK_LEFT: c = std::max(c - 1, 0); break;
      case VK_RIGHT: c = std::min(c + 1, m.ColumnCount() - 1); break;
      case VK_PRIOR: r = std::max(r - visible, 1); break;
      case VK_NEXT: r = std::min(r + visible, last); break;
      case VK_HOME: r = 1; break;
      case VK_END: r = last; break;
      default: return;
    }
  }
  if (!m.SetCurrent(r, c)) return;
  m.EnsureVisible(r, visible);
  UpdateScroll(d);
  Redraw(d);
}

void NotifyClick(HWND hwnd) {
  NMHDR nm{};
  nm.hwndFrom = hwnd;
  nm.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
  nm.code = NM_CLICK;
  SendMessageW(GetParent(hwnd), WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

LRESULT CALLBACK GridProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  GridData* d = Data(hwnd);
  if (msg == WM_NCCREATE) {
    d = new GridData;
    d->hwnd = hwnd;
    SetPropW(hwnd, kProp, d);
  } else if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kProp);
    delete d;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (!d) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_SETFONT:
      d->font = reinterpret_cast<HFONT>(wParam);
      if (d->edit) SendMessageW(d->edit, WM_SETFONT, wParam, FALSE);
      if (LOWORD(lParam)) Redraw(d);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d->font);
    case WM_SIZE:
      UpdateScroll(d);
      Redraw(d);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      PaintBuffered(d);
      return 0;
    case WM_PRINTCLIENT:
      Paint(d, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Redraw(d);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
      const MSG* m = reinterpret_cast<const MSG*>(lParam);
      if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);  // an open edit box commits as it loses the focus
      SetCapture(hwnd);
      d->pressed = true;
      d->pressRow = d->pressColumn = -1;
      int r, c;
      if (d->model.CellAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &r, &c) && r >= 1) {
        d->pressRow = r;
        d->pressColumn = c;
        d->model.SetCurrent(r, c);
        Redraw(d);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      if (!d->pressed) return 0;
      d->pressed = false;
      ReleaseCapture();
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT client;
      GetClientRect(hwnd, &client);
      if (!PtInRect(&client, p)) return 0;
      int r, c;
      const bool sameCell = d->model.CellAt(p.x, p.y, &r, &c) && r == d->pressRow &&
                            c == d->pressColumn;
      NotifyClick(hwnd);
      // The parent's click handler may have closed the window.
      d = Data(hwnd);
      if (d && sameCell && d->model.CurrentRow() == r && d->model.CurrentColumn() == c)
        StartEdit(d, r, c, nullptr);
      return 0;
    }
    case WM_CAPTURECHANGED:
      d->pressed = false;
      return 0;
    case WM_MOUSEWHEEL: {
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      if (notches) Scroll(d, d->model.TopRow() - 3 * notches);
      return 0;
    }
    case WM_VSCROLL: {
      int top = d->model.TopRow();
      const int visible = Visible(d);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= visible; break;
        case SB_PAGEDOWN: top += visible; break;
        case SB_TOP: top = 1; break;
        case SB_BOTTOM: top = d->model.RowCount(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
          SCROLLINFO si{};
          si.cbSize = sizeof si;
          si.fMask = SIF_TRACKPOS;
          GetScrollInfo(hwnd, SB_VERT, &si);
          top = si.nTrackPos;
          break;
        }
        default: return 0;
      }
      Scroll(d, top);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_F2) {
        StartEdit(d, d->model.CurrentRow(), d->model.CurrentColumn(), nullptr);
        return 0;
      }
      MoveCurrent(d, static_cast<int>(wParam));
      return 0;
    case WM_CHAR:
      // Typing into the current cell replaces its text, as in a spreadsheet.
      if (wParam >= 0x20 && wParam != 0x7f) {
        const std::wstring typed(1, static_cast<wchar_t>(wParam));
        StartEdit(d, d->model.CurrentRow(), d->model.CurrentColumn(), &typed);
      }
      return 0;
    case WM_COMMAND:
      return 0;  // the edit box's notifications
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterGridClass() { ui::RegisterClassOnce(kClassName, GridProc, IDC_ARROW, nullptr, CS_DBLCLKS); }

void SetColumnCount(HWND g, int count) {
  if (GridData* d = Data(g)) {
    if (d->editColumn >= count) EndEdit(d, false, true);
    d->model.SetColumnCount(count);
    Redraw(d);
  }
}

void SetColumnWidth(HWND g, int column, int pixels) {
  if (GridData* d = Data(g)) {
    EndEdit(d, true, true);
    d->model.SetColumnWidth(column, pixels);
    Redraw(d);
  }
}

int ColumnWidth(HWND g, int column) {
  GridData* d = Data(g);
  return d ? d->model.ColumnWidth(column) : 0;
}

int ColumnCount(HWND g) {
  GridData* d = Data(g);
  return d ? d->model.ColumnCount() : 0;
}

int RowCount(HWND g) {
  GridData* d = Data(g);
  return d ? d->model.RowCount() : 0;
}

void SetCell(HWND g, int row, int column, const Text& text) {
  if (GridData* d = Data(g)) {
    if (d->model.SetCell(row, column, text)) Redraw(d);
  }
}

Text Cell(HWND g, int row, int column) {
  GridData* d = Data(g);
  return d ? d->model.Cell(row, column) : Text();
}

void CentreRange(HWND g, int row0, int column0, int row1, int column1) {
  if (GridData* d = Data(g)) {
    d->model.CentreRange(row0, column0, row1, column1);
    Redraw(d);
  }
}

bool Centred(HWND g, int row, int column) {
  GridData* d = Data(g);
  return d && d->model.Centred(row, column);
}

int AppendRow(HWND g, const Text& first) {
  GridData* d = Data(g);
  if (!d) return -1;
  const int row = d->model.AppendRow(first);
  // The new row is brought into view; an open edit box would then sit over another row.
  if (!d->editing) d->model.EnsureVisible(row, Visible(d));
  UpdateScroll(d);
  Redraw(d);
  return row;
}

void DeleteRow(HWND g, int row) {
  if (GridData* d = Data(g)) {
    EndEdit(d, true, true);
    if (!d->model.DeleteRow(row)) return;
    UpdateScroll(d);
    Redraw(d);
  }
}

bool SetCurrentCell(HWND g, int row, int column) {
  GridData* d = Data(g);
  if (!d || !d->model.Exists(row, column) || row < 1) return false;
  EndEdit(d, true, true);
  d->model.SetCurrent(row, column);
  d->model.EnsureVisible(row, Visible(d));
  UpdateScroll(d);
  Redraw(d);
  return true;
}

int CurrentRow(HWND g) {
  GridData* d = Data(g);
  return d ? d->model.CurrentRow() : -1;
}

int CurrentColumn(HWND g) {
  GridData* d = Data(g);
  return d ? d->model.CurrentColumn() : -1;
}

void SetLineColour(HWND g, COLORREF colour) {
  if (GridData* d = Data(g)) {
    d->line = colour;
    Redraw(d);
  }
}

void SetCellBackground(HWND g, COLORREF colour) {
  if (GridData* d = Data(g)) {
    d->background = colour;
    Redraw(d);
  }
}

COLORREF LineColour(HWND g) {
  GridData* d = Data(g);
  return d ? d->line : 0;
}

COLORREF CellBackground(HWND g) {
  GridData* d = Data(g);
  return d ? d->background : 0;
}

bool BeginEdit(HWND g, int row, int column) {
  GridData* d = Data(g);
  return d && StartEdit(d, row, column, nullptr);
}

bool CommitEdit(HWND g) {
  GridData* d = Data(g);
  return d && EndEdit(d, true, true);
}

void CancelEdit(HWND g) {
  if (GridData* d = Data(g)) EndEdit(d, false, true);
}

bool IsEditing(HWND g) {
  GridData* d = Data(g);
  return d && d->editing;
}

HWND EditBox(HWND g) {
  GridData* d = Data(g);
  return d ? d->edit : nullptr;
}

int TopRow(HWND g) {
  GridData* d = Data(g);
  return d ? d->model.TopRow() : 1;
}

void ScrollToRow(HWND g, int topRow) {
  if (GridData* d = Data(g)) Scroll(d, topRow);
}

}  // namespace grid
