#include "online/settings_page.h"

#include "app/modes.h"
#include "app/tools_window.h"
#include "cad/cad_connection.h"
#include "common/globals.h"
#include "common/platform.h"
#include "online/grid.h"
#include "settings/settings.h"

namespace toolswin {
HWND 标签6, 编辑框_路径, 按钮_路径, 高级表格_版本, 高级表格_尺寸, 按钮_增加, 按钮_删除, 按钮_保存, 标签3;

namespace {
using ui::Kind;

void SelectVersionTable() { SelectTable(1); }
void SelectSizeTable() { SelectTable(2); }

ui::ControlDef g_controls[] = {
    {&标签6, "标签6", Kind::Label, nullptr, 16, 40, 72, 24, "默认路径:", nullptr},
    {&编辑框_路径, "编辑框_路径", Kind::Edit, nullptr, 96, 40, 392, 28, "", nullptr},
    {&按钮_路径, "按钮_路径", Kind::Button, nullptr, 495, 38, 80, 30, "...浏览", BrowseDefaultFolder},
    {&高级表格_版本, "高级表格_版本", Kind::Grid, nullptr, 16, 80, 220, 280, "", SelectVersionTable},
    {&高级表格_尺寸, "高级表格_尺寸", Kind::Grid, nullptr, 242, 80, 245, 280, "", SelectSizeTable},
    {&按钮_增加, "按钮_增加", Kind::Button, nullptr, 495, 254, 80, 30, "增加行", AddTableRow},
    {&按钮_删除, "按钮_删除", Kind::Button, nullptr, 495, 292, 80, 30, "删除行", DeleteTableRow},
    {&按钮_保存, "按钮_保存", Kind::Button, nullptr, 495, 330, 80, 30, "保存设置", SaveSettingsTables},
    {&标签3, "标签3", Kind::Label, nullptr, 16, 371, 536, 24,
     "说明:有CAD新版本或调整图纸尺寸时可修改，如不清楚请不要修改此数据。", nullptr},
};
constexpr std::size_t kCount = sizeof g_controls / sizeof g_controls[0];

constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void SetUpTable(HWND table, const TextArray& headers, const int* widths) {
  const int columns = static_cast<int>(headers.size());
  grid::SetColumnCount(table, columns);
  for (int c = 0; c < columns; ++c) grid::SetCell(table, 0, c, headers[static_cast<std::size_t>(c)]);
  for (int c = 0; c < columns; ++c) grid::SetColumnWidth(table, c, widths[c]);
  grid::CentreRange(table, 0, 0, 1, columns - 1);
}

HWND SelectedTable() {
  switch (selectedTable) {
    case 1: return 高级表格_版本;
    case 2: return 高级表格_尺寸;
    default: return nullptr;
  }
}

// The shared answer of 增加行 and 删除行 before any table was clicked; nullptr then.
HWND SelectedTableOrComplain() {
  HWND table = SelectedTable();
  if (!table) ShowMessage(window, "请先单击选择一个表格", "错误", MB_OK);
  return table;
}
}  // namespace

void CreateSettingsPage(HWND page, HFONT font) {
  grid::RegisterGridClass();
  ui::CreateControls(page, g_controls, kCount, kSettingsIdBase, font);
}

bool RouteSettingsCommand(WPARAM wParam, LPARAM lParam) {
  return ui::RouteCommand(g_controls, kCount, kSettingsIdBase, wParam, lParam);
}

bool RouteSettingsNotify(LPARAM lParam) {
  return ui::RouteNotify(g_controls, kCount, kSettingsIdBase, lParam);
}

const ui::ControlDef* SettingsControls(std::size_t* count) {
  *count = kCount;
  return g_controls;
}
}  // namespace toolswin

void FillSettingsTables() {
  using namespace toolswin;
  static const int versionWidths[] = {35, 80, 85};
  static const int sizeWidths[] = {35, 50, 50, 90};
  SetUpTable(高级表格_版本, {"序号", "CAD内部号", "CAD版本号"}, versionWidths);
  SetUpTable(高级表格_尺寸, {"序号", "规格", "方向", "尺寸"}, sizeWidths);
  if (!SettingsFileExists()) return;

  SetFocus(高级表格_版本);
  ui::SetText(编辑框_路径, ReadSetting(kKeyFolder));
  // Entries lacking pieces come padded with empty texts: their missing cells stay empty.
  int i = 1;
  for (const VersionEntry& e : ParseVersionList(ReadSetting(kKeyVersions))) {
    const int row = grid::AppendRow(高级表格_版本, IntToText(i++));
    grid::SetCell(高级表格_版本, row, 1, e.internalVersion);
    grid::SetCell(高级表格_版本, row, 2, e.year);
  }

  SetFocus(高级表格_尺寸);
  i = 1;
  for (const SizeEntry& e : ParseSizeList(ReadSetting(kKeySizes))) {
    const int row = grid::AppendRow(高级表格_尺寸, IntToText(i++));
    grid::SetCell(高级表格_尺寸, row, 1, e.designation);
    grid::SetCell(高级表格_尺寸, row, 2, e.orientation);
    grid::SetCell(高级表格_尺寸, row, 3, e.sizePiece);
  }
  // Both lists start at their first rows.
  grid::ScrollToRow(高级表格_版本, 1);
  grid::ScrollToRow(高级表格_尺寸, 1);
}

void SelectTable(int table) {
  using namespace toolswin;
  if (table != 1 && table != 2) return;
  HWND selected = table == 1 ? 高级表格_版本 : 高级表格_尺寸;
  HWND other = table == 1 ? 高级表格_尺寸 : 高级表格_版本;
  grid::SetLineColour(selected, kBlack);
  grid::SetCellBackground(selected, kSilver);
  grid::SetLineColour(other, kSilver);
  grid::SetCellBackground(other, kWhite);
  selectedTable = table;
}

void AddTableRow() {
  HWND table = toolswin::SelectedTableOrComplain();
  if (!table) return;
  SetFocus(table);
  grid::AppendRow(table, IntToText(grid::RowCount(table)));
}

void DeleteTableRow() {
  HWND table = toolswin::SelectedTableOrComplain();
  if (!table) return;
  const int row = grid::CurrentRow(table);
  if (row >= 1) grid::DeleteRow(table, row);
}

void SaveSettingsTables() {
  using namespace toolswin;
  // A cell still being edited holds what the user typed last.
  grid::CommitEdit(高级表格_版本);
  grid::CommitEdit(高级表格_尺寸);

  WriteSetting(kKeyFolder, ui::GetText(编辑框_路径));

  Text versions;
  for (int r = 1; r < grid::RowCount(高级表格_版本); ++r) {
    const Text internal = grid::Cell(高级表格_版本, r, 1), year = grid::Cell(高级表格_版本, r, 2);
    if (!internal.empty() && !year.empty()) versions += internal + "-" + year + "/";
  }
  WriteSetting(kKeyVersions, versions);

  Text sizes;
  for (int r = 1; r < grid::RowCount(高级表格_尺寸); ++r) {
    const Text name = grid::Cell(高级表格_尺寸, r, 1), orientation = grid::Cell(高级表格_尺寸, r, 2),
               size = grid::Cell(高级表格_尺寸, r, 3);
    if (!name.empty() && !orientation.empty() && FindText(size, "*") != Text::npos)
      sizes += name + "-" + orientation + "-" + size + "/";
  }
  WriteSetting(kKeySizes, sizes);

  ShowMessage(window, "-----数据已保存-----" + FormatSaveTime(Now()), "提示", MB_OK);
}

void BrowseDefaultFolder() {
  using namespace toolswin;
  ui::SetText(编辑框_路径, ShowFolderDialog(window, "指定CAD图纸文件路径"));
}

void OnToolsWindowDestroyed() {
  LoadSettings();
  ConnectToCad();
  PrepareSizePresets();
}
