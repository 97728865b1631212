// The content and geometry of an editable table: text cells, a fixed header row (row 0) and a
// fixed first column (column 0), column widths, centred cells, a current cell and the vertical
// scroll position. Portable; the window that draws it is grid_win.cpp.
#pragma once
#include <vector>

#include "common/text.h"

class GridModel {
 public:
  static constexpr int kRowHeight = 24;

  GridModel() : rows_(1) {}

  int RowCount() const { return static_cast<int>(rows_.size()); }
  int ColumnCount() const { return static_cast<int>(widths_.size()); }
  // New columns are empty and 64 pixels wide; cut columns lose their texts.
  void SetColumnCount(int count);
  void SetColumnWidth(int column, int pixels);
  int ColumnWidth(int column) const;
  int TotalWidth() const;

  // Out-of-range cells are ignored on writing and read as empty.
  bool SetCell(int row, int column, const Text& text);
  const Text& Cell(int row, int column) const;
  bool Centred(int row, int column) const;
  // Centres rows row0..row1, columns column0..column1, cut to the cells that exist.
  void CentreRange(int row0, int column0, int row1, int column1);

  bool Exists(int row, int column) const;
  // Only cells outside the header row and the first column can be edited.
  bool Editable(int row, int column) const { return row >= 1 && column >= 1 && Exists(row, column); }

  // Appends a row whose column 0 reads first; returns its index.
  int AppendRow(const Text& first);
  // Deletes a data row. When it held the current cell, the current cell moves to the same column
  // of the row that takes its place, or of the new last row; when that is the header there is no
  // current cell. Returns false for the header or a row that doesn't exist.
  bool DeleteRow(int row);

  // The current cell is a data row's cell (row >= 1); -1 / -1 when none.
  bool SetCurrent(int row, int column);
  void ClearCurrent() { currentRow_ = currentColumn_ = -1; }
  int CurrentRow() const { return currentRow_; }
  int CurrentColumn() const { return currentColumn_; }

  // Scrolling: the header stays put and data rows from TopRow() on are shown below it.
  // visibleRows is how many data rows fit fully below the header.
  int TopRow() const { return topRow_; }
  static int VisibleDataRows(int clientHeight);
  int MaxTopRow(int visibleRows) const;
  void ScrollTo(int topRow, int visibleRows);
  void EnsureVisible(int row, int visibleRows);

  // Cell at a client point; false outside the cells.
  bool CellAt(int x, int y, int* row, int* column) const;
  // Client rectangle of a cell; false when the cell is scrolled away or doesn't exist.
  bool CellRect(int row, int column, int* left, int* top, int* right, int* bottom) const;

 private:
  struct CellData {
    Text text;
    bool centred = false;
  };
  std::vector<std::vector<CellData>> rows_;
  std::vector<int> widths_;
  int currentRow_ = -1, currentColumn_ = -1;
  int topRow_ = 1;
};
