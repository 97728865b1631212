// The table model behind the grid control: the current cell after deletes, centring cut to the
// cells that exist, fixed cells, and hit-testing under scrolling.
#include <gtest/gtest.h>

#include "online/grid_model.h"

namespace {

// A table with a header and data rows numbered "1".."n" in column 0.
GridModel Numbered(int dataRows, int columns = 3) {
  GridModel m;
  m.SetColumnCount(columns);
  for (int c = 0; c < columns; ++c) m.SetColumnWidth(c, 50);
  for (int i = 1; i <= dataRows; ++i) m.AppendRow(IntToText(i));
  return m;
}

Text Numbers(const GridModel& m) {
  Text out;
  for (int r = 1; r < m.RowCount(); ++r) out += m.Cell(r, 0) + (r + 1 < m.RowCount() ? "," : "");
  return out;
}

TEST(GridModel, DeleteMovesTheCurrentCell) {
  struct Case {
    const char* name;
    int rows, currentRow, deleteRow;
    int wantRow;  // -1: no current cell
    const char* wantNumbers;
  } cases[] = {
      {"middle: the next row takes its place", 3, 2, 2, 2, "1,3"},
      {"last: moves up to the new last row", 3, 3, 3, 2, "1,2"},
      {"only row: would be the header, so none", 1, 1, 1, -1, ""},
      {"a row above: stays on its content", 4, 3, 1, 2, "2,3,4"},
      {"a row below: unchanged", 4, 2, 4, 2, "1,2,3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GridModel m = Numbered(c.rows);
    ASSERT_TRUE(m.SetCurrent(c.currentRow, 2));
    EXPECT_TRUE(m.DeleteRow(c.deleteRow));
    EXPECT_EQ(m.CurrentRow(), c.wantRow);
    EXPECT_EQ(m.CurrentColumn(), c.wantRow < 0 ? -1 : 2);
    EXPECT_EQ(Numbers(m), c.wantNumbers);
  }
}

TEST(GridModel, RepeatedDeletesOfTheCurrentRowWalkDownThenUp) {
  GridModel m = Numbered(4);
  m.SetCurrent(3, 1);
  Text deleted;
  while (m.CurrentRow() >= 1) {
    deleted += m.Cell(m.CurrentRow(), 0);
    m.DeleteRow(m.CurrentRow());
  }
  EXPECT_EQ(deleted, "3421");
  EXPECT_EQ(m.RowCount(), 1);
  EXPECT_EQ(m.CurrentColumn(), -1);
}

TEST(GridModel, HeaderAndMissingRowsAreNotDeletedNorCurrent) {
  GridModel m = Numbered(2);
  EXPECT_FALSE(m.DeleteRow(0));
  EXPECT_FALSE(m.DeleteRow(3));
  EXPECT_FALSE(m.SetCurrent(0, 1));
  EXPECT_FALSE(m.SetCurrent(1, 3));
  EXPECT_EQ(m.RowCount(), 3);
  EXPECT_EQ(m.CurrentRow(), -1);
}

TEST(GridModel, FixedCellsAndOutOfRangeCells) {
  GridModel m = Numbered(1);
  EXPECT_FALSE(m.Editable(0, 1));
  EXPECT_FALSE(m.Editable(1, 0));
  EXPECT_TRUE(m.Editable(1, 2));
  EXPECT_FALSE(m.Editable(1, 3));
  EXPECT_FALSE(m.SetCell(2, 1, "x"));
  EXPECT_EQ(m.Cell(2, 1), "");
  EXPECT_EQ(m.Cell(-1, 0), "");
  m.SetColumnCount(2);  // cutting a column drops its texts, keeps the rest
  EXPECT_EQ(m.Cell(1, 0), "1");
  EXPECT_EQ(m.Cell(1, 2), "");
}

TEST(GridModel, CentringIsCutToExistingCells) {
  GridModel m = Numbered(0);
  m.CentreRange(0, 0, 1, 2);  // only the header exists yet
  m.AppendRow("1");
  for (int c = 0; c < 3; ++c) {
    EXPECT_TRUE(m.Centred(0, c));
    EXPECT_FALSE(m.Centred(1, c));
  }
  m.CentreRange(5, 2, -3, 9);  // reversed and oversized
  EXPECT_TRUE(m.Centred(1, 2));
  EXPECT_FALSE(m.Centred(1, 1));
}

TEST(GridModel, ScrollingKeepsTheHeaderAndMapsPointsToRows) {
  GridModel m = Numbered(30);
  const int visible = GridModel::VisibleDataRows(276);  // 280-pixel table less its border
  EXPECT_EQ(visible, 10);
  EXPECT_EQ(m.MaxTopRow(visible), 21);  // rows 21..30 fill the last page
  m.ScrollTo(99, visible);
  EXPECT_EQ(m.TopRow(), 21);
  int r = -1, c = -1;
  ASSERT_TRUE(m.CellAt(5, 10, &r, &c));
  EXPECT_EQ(r, 0);
  ASSERT_TRUE(m.CellAt(60, 24, &r, &c));
  EXPECT_EQ(r, 21);
  EXPECT_EQ(c, 1);
  EXPECT_FALSE(m.CellAt(150, 30, &r, &c));  // right of the last column
  int left, top, right, bottom;
  EXPECT_FALSE(m.CellRect(20, 1, &left, &top, &right, &bottom));  // scrolled away
  ASSERT_TRUE(m.CellRect(22, 2, &left, &top, &right, &bottom));
  EXPECT_EQ(left, 100);
  EXPECT_EQ(top, 48);
  EXPECT_EQ(bottom - top, GridModel::kRowHeight);

  m.EnsureVisible(3, visible);
  EXPECT_EQ(m.TopRow(), 3);
  m.EnsureVisible(30, visible);
  EXPECT_EQ(m.TopRow(), 21);
  // Deleting rows shrinks the range; the next ScrollTo puts the top back in it.
  for (int i = 0; i < 25; ++i) m.DeleteRow(1);
  m.ScrollTo(m.TopRow(), visible);
  EXPECT_EQ(m.TopRow(), 1);
  EXPECT_FALSE(m.CellAt(5, 24 * 7, &r, &c));  // below the last of 5 rows
}

}  // namespace
