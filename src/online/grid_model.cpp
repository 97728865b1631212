#include "online/grid_model.h"

#include <algorithm>

void GridModel::SetColumnCount(int count) {
  count = std::max(count, 0);
  widths_.resize(static_cast<std::size_t>(count), 64);
  for (auto& row : rows_) row.resize(static_cast<std::size_t>(count));
  if (currentColumn_ >= count) ClearCurrent();
}

void GridModel::SetColumnWidth(int column, int pixels) {
  if (column < 0 || column >= ColumnCount()) return;
  widths_[static_cast<std::size_t>(column)] = std::max(pixels, 0);
}

int GridModel::ColumnWidth(int column) const {
  return column < 0 || column >= ColumnCount() ? 0 : widths_[static_cast<std::size_t>(column)];
}

int GridModel::TotalWidth() const {
  int w = 0;
  for (int x : widths_) w += x;
  return w;
}

bool GridModel::Exists(int row, int column) const {
  return row >= 0 && row < RowCount() && column >= 0 && column < ColumnCount();
}

bool GridModel::SetCell(int row, int column, const Text& text) {
  if (!Exists(row, column)) return false;
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].text = text;
  return true;
}

const Text& GridModel::Cell(int row, int column) const {
  static const Text empty;
  if (!Exists(row, column)) return empty;
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].text;
}

bool GridModel::Centred(int row, int column) const {
  return Exists(row, column) &&
         rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].centred;
}

void GridModel::CentreRange(int row0, int column0, int row1, int column1) {
  if (row0 > row1) std::swap(row0, row1);
  if (column0 > column1) std::swap(column0, column1);
  row0 = std::max(row0, 0);
  column0 = std::max(column0, 0);
  row1 = std::min(row1, RowCount() - 1);
  column1 = std::min(column1, ColumnCount() - 1);
  for (int r = row0; r <= row1; ++r)
    for (int c = column0; c <= column1; ++c)
      rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)].centred = true;
}

int GridModel::AppendRow(const Text& first) {
  rows_.emplace_back(static_cast<std::size_t>(ColumnCount()));
  const int row = RowCount() - 1;
  SetCell(row, 0, first);
  return row;
}

bool GridModel::DeleteRow(int row) {
  if (row < 1 || row >= RowCount()) return false;
  rows_.erase(rows_.begin() + row);
  if (currentRow_ == row) {
    const int next = std::min(row, RowCount() - 1);
    if (next < 1) ClearCurrent();
    else currentRow_ = next;
  } else if (currentRow_ > row) {
    --currentRow_;  // stays on the same content
  }
  return true;
}

bool GridModel::SetCurrent(int row, int column) {
  if (row < 1 || !Exists(row, column)) return false;
  currentRow_ = row;
  currentColumn_ = column;
  return true;
}

int GridModel::VisibleDataRows(int clientHeight) {
  return std::max((clientHeight - kRowHeight) / kRowHeight, 1);
}

int GridModel::MaxTopRow(int visibleRows) const {
  return std::max(RowCount() - std::max(visibleRows, 1), 1);
}

void GridModel::ScrollTo(int topRow, int visibleRows) {
  topRow_ = std::clamp(topRow, 1, MaxTopRow(visibleRows));
}

void GridModel::EnsureVisible(int row, int visibleRows) {
  visibleRows = std::max(visibleRows, 1);
  if (row < 1) return;
  if (row < topRow_) ScrollTo(row, visibleRows);
  else if (row >= topRow_ + visibleRows) ScrollTo(row - visibleRows + 1, visibleRows);
  else ScrollTo(topRow_, visibleRows);
}

bool GridModel::CellAt(int x, int y, int* row, int* column) const {
  if (x < 0 || y < 0) return false;
  int c = 0, left = 0;
  for (; c < ColumnCount(); ++c) {
    if (x < left + widths_[static_cast<std::size_t>(c)]) break;
    left += widths_[static_cast<std::size_t>(c)];
  }
  if (c >= ColumnCount()) return false;
  const int band = y / kRowHeight;
  const int r = band == 0 ? 0 : topRow_ + band - 1;
  if (r >= RowCount()) return false;
  *row = r;
  *column = c;
  return true;
}

bool GridModel::CellRect(int row, int column, int* left, int* top, int* right,
                         int* bottom) const {
  if (!Exists(row, column) || (row >= 1 && row < topRow_)) return false;
  int x = 0;
  for (int c = 0; c < column; ++c) x += widths_[static_cast<std::size_t>(c)];
  const int y = row == 0 ? 0 : (row - topRow_ + 1) * kRowHeight;
  *left = x;
  *top = y;
  *right = x + ColumnWidth(column);
  *bottom = y + kRowHeight;
  return true;
}
