#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "common/gbk.h"
#include "drawing_list/drawing_list.h"

namespace drawing_list {
namespace {
HWND List() { return mainwin::超级列表框1; }
}  // namespace

void SetupColumns() {
  ListView_SetExtendedListViewStyle(List(), LVS_EX_FULLROWSELECT);
  const struct {
    const char* header;
    int width;
  } columns[] = {{"序号", 50}, {"文件名", 290}, {"大小", 100}, {"时间", 160}};
  for (int i = 0; i < 4; ++i) {
    std::wstring text = GbkToWide(columns[i].header);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.fmt = LVCFMT_LEFT;
    c.cx = columns[i].width;
    c.pszText = text.data();
    c.iSubItem = i;
    SendMessageW(List(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&c));
  }
}

int RowCount() { return ListView_GetItemCount(List()); }

int AppendRow() {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = RowCount();
  item.pszText = const_cast<wchar_t*>(L"");
  return static_cast<int>(SendMessageW(List(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void InsertRow(int index, const Text& cell0) {
  std::wstring text = GbkToWide(cell0);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = text.data();
  SendMessageW(List(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void RemoveRow(int index) { ListView_DeleteItem(List(), index); }
void RemoveAllRows() { ListView_DeleteAllItems(List()); }

Text CellText(int row, int column) {
  std::wstring buf(4096, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buf.data();
    item.cchTextMax = static_cast<int>(buf.size());
    int n = static_cast<int>(
        SendMessageW(List(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    if (n < static_cast<int>(buf.size()) - 1) {
      buf.resize(static_cast<std::size_t>(n));
      return WideToGbk(buf);
    }
    buf.resize(buf.size() * 2);
  }
}

void SetCellText(int row, int column, const Text& text) {
  std::wstring w = GbkToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = w.data();
  SendMessageW(List(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int SelectedRow() { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }

void SelectRow(int row) {
  if (row < 0) return;
  ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void DeselectRow(int row) {
  if (row < 0) return;
  ListView_SetItemState(List(), row, 0, LVIS_SELECTED);
}

int CurrentRow() { return SelectedRow(); }

void SetCurrentRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  SelectRow(row);
}

void MakeVisible(int row) { ListView_EnsureVisible(List(), row, FALSE); }
void GiveFocus() { SetFocus(List()); }
}  // namespace drawing_list

// The button procedures arrive with the drawing-list work.
void AddDrawings() {}
void MoveRowUp() {}
void MoveRowDown() {}
void MoveRowToTop() {}
void MoveRowToBottom() {}
void RemoveSelectedRows() {}
void ClearDrawingList() {}
