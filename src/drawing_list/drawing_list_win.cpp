#include <windows.h>
#include <commctrl.h>

#include <array>

#include "app/main_window.h"
#include "common/files.h"
#include "common/gbk.h"
#include "common/globals.h"
#include "common/platform.h"
#include "drawing_list/drawing_list.h"
#include "drawing_list/list_text.h"
#include "settings/settings.h"

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

void ShowFromRow(int row) {
  const int top = ListView_GetTopIndex(List());
  const int page = ListView_GetCountPerPage(List());
  if (row < top + page || row >= RowCount()) return;
  RECT first, target;
  if (!ListView_GetItemRect(List(), top, &first, LVIR_BOUNDS) ||
      !ListView_GetItemRect(List(), row, &target, LVIR_BOUNDS))
    return;
  ListView_Scroll(List(), 0, target.top - first.top);
}

void GiveFocus() { SetFocus(List()); }
}  // namespace drawing_list

namespace {
constexpr int kColumns = 4;
using Row = std::array<Text, kColumns>;

Row TakeRow(int row) {
  Row r;
  for (int c = 0; c < kColumns; ++c) r[c] = drawing_list::CellText(row, c);
  return r;
}

void PutRow(int row, const Row& r) {
  for (int c = 0; c < kColumns; ++c) drawing_list::SetCellText(row, c, r[c]);
}

void Boundary(const char* text) {
  ShowMessage(mainwin::window, text, "提示", MB_ICONINFORMATION | MB_OK);
  drawing_list::GiveFocus();
}

// Appends one row for path: number (the row count now), path, size and time.
void AppendFileRow(const Text& path) {
  using namespace drawing_list;
  int row = AppendRow();
  SetCellText(row, 0, IntToText(RowCount()));
  SetCellText(row, 1, path);
  SetCellText(row, 2, SizeCellText(FileSize(path)));
  DateTime t;
  SetCellText(row, 3, FileModifiedTime(path, t) ? TimeCellText(t) : MissingFileCellText());
}
}  // namespace

const char kSelectionTooLongText[] =
    "选择的文件太多，文件名的总长度超出了文件对话框的限制，本次没有增加任何文件。\n"
    "请分几次选择，每次少选一些文件。";

void AddDrawings() {
  using namespace drawing_list;
  GiveFocus();
  OpenFileRequest request;
  request.title = "请选择要合并的CAD文件";
  request.filter = "DWG文件|*.dwg|DXF文件|*.dxf";
  request.initialFolder = lastFolder;
  request.bufferBytes = 61440;
  OpenFileResult result = ShowOpenFileDialog(mainwin::window, request);
  if (result.tooLong && result.paths.empty())
    ShowMessage(mainwin::window, kSelectionTooLongText, "提示", MB_ICONINFORMATION | MB_OK);
  if (!result.paths.empty()) {
    const Text& first = result.paths[0];
    std::size_t cut = FindLastChar(first, '\\');
    if (cut != Text::npos) {
      lastFolder = first.substr(0, cut + 1);
      WriteSetting(kKeyFolder, lastFolder);
    }
    // Thousands of rows: redrawing after each insertion would make the fill quadratic.
    SendMessageW(List(), WM_SETREDRAW, FALSE, 0);
    for (const Text& path : result.paths) AppendFileRow(path);
    SendMessageW(List(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(List(), nullptr, TRUE);
  }
  SetCurrentRow(0);
}

void MoveRowUp() {
  using namespace drawing_list;
  int s = SelectedRow();
  if (s < 0) return;
  if (s == 0) return Boundary("到顶啦！");
  Row above = TakeRow(s - 1);
  PutRow(s - 1, TakeRow(s));
  PutRow(s, above);
  DeselectRow(s);
  SelectRow(s - 1);
  GiveFocus();
}

void MoveRowDown() {
  using namespace drawing_list;
  int s = SelectedRow();
  if (s < 0) return;
  if (s == RowCount() - 1) return Boundary("到底啦！");
  Row below = TakeRow(s + 1);
  PutRow(s + 1, TakeRow(s));
  PutRow(s, below);
  DeselectRow(s);
  SelectRow(s + 1);
  GiveFocus();
}

void MoveRowToTop() {
  using namespace drawing_list;
  int s = SelectedRow();
  if (s < 0) return;
  if (s == 0) return Boundary("已经到顶啦！！");
  Row moved = TakeRow(s);
  InsertRow(0, moved[0]);
  PutRow(0, moved);
  RemoveRow(s + 1);
  SelectRow(0);
  GiveFocus();
}

void MoveRowToBottom() {
  using namespace drawing_list;
  int s = SelectedRow();
  if (s < 0) return;
  if (s == RowCount() - 1) return Boundary("已经到底啦！！");
  Row moved = TakeRow(s);
  RemoveRow(s);
  int last = AppendRow();
  PutRow(last, moved);
  SelectRow(last);
  GiveFocus();
}

void RemoveSelectedRows() {
  using namespace drawing_list;
  for (int s = SelectedRow(); s >= 0; s = SelectedRow()) RemoveRow(s);
}

void ClearDrawingList() { drawing_list::RemoveAllRows(); }
