#include "views/view_layout.h"

#include <gtest/gtest.h>

#include "views/icon_column.h"

namespace orti {
namespace {

TEST(ViewLayout, TitlesHiddenColumnsAndColumnChoice) {
  StringGrid folders(kViewColumns, 2, 1), dates(kViewColumns, 2, 1);
  PrepareViewGrid(ViewKind::kByFolders, folders);
  PrepareViewGrid(ViewKind::kByDate, dates);
  EXPECT_EQ(ColumnTitles(ViewKind::kByFolders),
            (std::vector<std::string>{"Папка", "Режим", "Дата/Время", "T (C)", "ЭДС (мВ)", "pH",
                                      "pH25"}));
  EXPECT_EQ(folders.Cell(3, 0), "Папка");
  EXPECT_EQ(folders.Cell(9, 0), "pH25");
  EXPECT_EQ(dates.Cell(3, 0), "Дата/Время");
  EXPECT_EQ(dates.Cell(5, 0), "Режим");
  for (StringGrid* g : {&folders, &dates}) {
    EXPECT_EQ(g->ColCount(), 10);
    EXPECT_EQ(g->ColWidth(0), 20);
    for (int c : {1, 2}) EXPECT_EQ(g->ColWidth(c), 0) << c;
  }

  std::vector<bool> all(kChoiceColumns, true);
  ApplyFolderColumns(folders, all);
  ApplyDateColumns(dates, all);
  const int folderWidths[] = {151, 97, 159, 72, 76, 76, 76};
  const int dateWidths[] = {159, 151, 97, 72, 76, 76, 76};
  for (int k = 0; k < kChoiceColumns; ++k) {
    EXPECT_EQ(folders.ColWidth(k + 3), folderWidths[k]);
    EXPECT_EQ(dates.ColWidth(k + 3), dateWidths[k]);
  }

  // A dragged width is reset by the next choice; unticking all leaves the icon column.
  folders.SetColWidth(4, 300);
  std::vector<bool> some(kChoiceColumns, true);
  some[0] = false;
  ApplyFolderColumns(folders, some);
  EXPECT_EQ(folders.ColWidth(3), 0);
  EXPECT_EQ(folders.ColWidth(4), 97);
  ApplyFolderColumns(folders, std::vector<bool>(kChoiceColumns, false));
  int visible = 0;
  for (int c = 0; c < kViewColumns; ++c) visible += folders.ColWidth(c) > 0 ? 1 : 0;
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(folders.ColWidth(0), 20);
  EXPECT_EQ(dates.ColWidth(3), 159);  // the other view is untouched
}

TEST(IconColumn, IconsFollowTheExactMarkAndSitCentredAtTheTop) {
  EXPECT_EQ(IconForCell(0, "S"), RowIcon::kHeader);
  EXPECT_EQ(IconForCell(1, ""), RowIcon::kRecord);
  EXPECT_EQ(IconForCell(2, "S"), RowIcon::kSave);
  EXPECT_EQ(IconForCell(2, "P"), RowIcon::kPrint);
  EXPECT_EQ(IconForCell(2, "D"), RowIcon::kDelete);
  EXPECT_EQ(IconForCell(2, "d"), RowIcon::kRecord);
  EXPECT_EQ(IconForCell(2, "SP"), RowIcon::kRecord);
  EXPECT_EQ(IconSize(RowIcon::kPrint), 16);
  EXPECT_EQ(IconSize(RowIcon::kDelete), 20);
  EXPECT_EQ(IconLeft(0, 20, 20), 0);
  EXPECT_EQ(IconLeft(0, 20, 16), 2);
  EXPECT_EQ(IconLeft(0, 31, 16), 7);    // truncated
  EXPECT_EQ(IconLeft(-5, 0, 20), -12);  // toward zero, as the grid computes it
}

}  // namespace
}  // namespace orti
