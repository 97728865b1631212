// The drawing list: the main window's report list view 超级列表框1, its operations and the
// procedures of the file buttons.
#pragma once
#include "common/text.h"

namespace drawing_list {
// Creates the four columns; run once when the main window is created.
void SetupColumns();
int RowCount();
int AppendRow();                         // an empty row after the last; its index
void InsertRow(int index, const Text& cell0);  // not selected
void RemoveRow(int index);
void RemoveAllRows();
Text CellText(int row, int column);
void SetCellText(int row, int column, const Text& text);
int SelectedRow();                       // -1 when none (single selection)
void SelectRow(int row);                 // with the focus mark; below 0 ignored
void DeselectRow(int row);
int CurrentRow();
void SetCurrentRow(int row);             // an index with no row changes nothing; no scrolling
void MakeVisible(int row);
// Scrolls a row that lies below the visible rows to the top of the list, a page at a time; rows
// already shown or above stay as they are.
void ShowFromRow(int row);
void GiveFocus();
}  // namespace drawing_list

// Told to the user when the chosen names do not fit into the open-file dialog's answer.
extern const char kSelectionTooLongText[];

void AddDrawings();
void MoveRowUp();
void MoveRowDown();
void MoveRowToTop();
void MoveRowToBottom();
void RemoveSelectedRows();
void ClearDrawingList();
