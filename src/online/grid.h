// The editable table control, window class "TessaroGrid": a fixed header row and first column,
// in-place editing of the other cells, 24-pixel rows, vertical scrolling. A left click sends
// WM_NOTIFY NM_CLICK to the parent when the button is released.
#pragma once
#include <windows.h>

#include "common/text.h"

namespace grid {

inline constexpr wchar_t kClassName[] = L"TessaroGrid";
// Registers the class once; call before creating a grid.
void RegisterGridClass();

void SetColumnCount(HWND grid, int count);
void SetColumnWidth(HWND grid, int column, int pixels);
int ColumnWidth(HWND grid, int column);
int ColumnCount(HWND grid);
int RowCount(HWND grid);  // the header row included

void SetCell(HWND grid, int row, int column, const Text& text);
Text Cell(HWND grid, int row, int column);
// Centres rows row0..row1 and columns column0..column1, cut to the cells that exist.
void CentreRange(HWND grid, int row0, int column0, int row1, int column1);
bool Centred(HWND grid, int row, int column);

// Appends a row whose column 0 reads first; returns its index.
int AppendRow(HWND grid, const Text& first);
// Deletes a data row; the current cell moves as GridModel::DeleteRow describes.
void DeleteRow(HWND grid, int row);

bool SetCurrentCell(HWND grid, int row, int column);
int CurrentRow(HWND grid);  // -1 when there is no current cell
int CurrentColumn(HWND grid);

// Colours of the non-fixed cells; fixed cells keep the system's button colours.
void SetLineColour(HWND grid, COLORREF colour);
void SetCellBackground(HWND grid, COLORREF colour);
COLORREF LineColour(HWND grid);
COLORREF CellBackground(HWND grid);

// In-place editing. BeginEdit refuses fixed and missing cells.
bool BeginEdit(HWND grid, int row, int column);
// Stores the edit box's text into its cell; false when nothing was being edited.
bool CommitEdit(HWND grid);
void CancelEdit(HWND grid);
bool IsEditing(HWND grid);
HWND EditBox(HWND grid);  // the edit box (hidden when not editing); nullptr before the first edit

int TopRow(HWND grid);  // first data row shown below the header
void ScrollToRow(HWND grid, int topRow);

}  // namespace grid
