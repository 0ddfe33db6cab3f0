#include "model/string_grid.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace orti {
namespace {

TEST(StringGrid, ResizingKeepsCellsAndIgnoresOutOfRangeAccess) {
  StringGrid g(2, 2, 1);
  g.SetCell(0, 0, "Title");
  g.SetCell(1, 1, "v");
  g.SetRowCount(4);
  EXPECT_EQ(g.Cell(0, 0), "Title");
  EXPECT_EQ(g.Cell(1, 1), "v");
  EXPECT_EQ(g.Cell(1, 3), "");
  g.SetCell(5, 5, "ignored");
  EXPECT_EQ(g.Cell(5, 5), "");
  g.SetRowCount(1);
  EXPECT_EQ(g.RowCount(), 1);
  g.SetRowCount(2);
  EXPECT_EQ(g.Cell(1, 1), "");  // a removed row comes back empty
  g.SetColCount(3);
  EXPECT_EQ(g.Cell(0, 0), "Title");
  EXPECT_EQ(g.ColCount(), 3);
}

TEST(StringGrid, NotifiesEveryChange) {
  StringGrid g(1, 1, 1);
  int changes = 0;
  g.SetChangedCallback([&] { ++changes; });
  g.SetCell(0, 0, "x");
  g.SetRowCount(3);
  g.SetColWidth(0, 10);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(g.ColWidth(0), 10);
  EXPECT_EQ(g.ColWidth(9), 0);
}

TEST(StringGrid, AnnouncesASingleCellOnItsOwnAndEverythingElseWhole) {
  StringGrid g(3, 3, 1);
  int whole = 0;
  std::vector<std::pair<int, int>> cells;
  g.SetChangedCallback([&] { ++whole; });
  g.SetCellChangedCallback([&](int col, int row) { cells.emplace_back(col, row); });
  g.SetCell(1, 2, "S");
  g.SetCell(7, 2, "ignored");  // out of range: nothing changed, nothing announced
  EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{1, 2}}));
  EXPECT_EQ(whole, 0);
  g.SetRowCount(5);
  EXPECT_EQ(whole, 1);
  {
    GridUpdate update(g);  // a rebuild is announced once, whole
    g.SetCell(0, 1, "a");
    g.SetCell(0, 2, "b");
  }
  EXPECT_EQ(whole, 2);
  EXPECT_EQ(cells.size(), 1u);
}

TEST(StringGrid, UpdateAnnouncesNestedChangesOnceAtTheOuterEnd) {
  StringGrid g(2, 1, 1);
  int changes = 0;
  g.SetChangedCallback([&] { ++changes; });
  g.BeginUpdate();
  g.BeginUpdate();
  g.SetRowCount(5);
  g.SetCell(1, 4, "x");
  g.EndUpdate();
  EXPECT_EQ(changes, 0);
  g.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(g.Cell(1, 4), "x");

  g.BeginUpdate();  // nothing changed: nothing announced
  g.EndUpdate();
  g.EndUpdate();  // unmatched: ignored
  EXPECT_EQ(changes, 1);
  g.SetCell(0, 0, "y");
  EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace orti
