#include "model/string_grid.h"

#include <gtest/gtest.h>

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
