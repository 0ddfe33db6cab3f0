#include "views/print_layout.h"

#include <gtest/gtest.h>

#include "views/view_layout.h"

namespace orti {
namespace {

// Every character 10 units wide, 12 in the header style; lines 20 high.
class FixedMeasurer final : public TextMeasurer {
 public:
  int TextWidth(const std::string& text, bool header) override {
    return static_cast<int>(text.size()) * (header ? 12 : 10);
  }
  int LineHeight() override { return 20; }
};

StringGrid MakeView() {
  StringGrid view(kViewColumns, 1, 1);
  const char* titles[] = {"A", "BB", "C", "D", "E", "F", "G"};
  for (int k = 0; k < kChoiceColumns; ++k) {
    view.SetCell(kFirstChoiceColumn + k, 0, titles[k]);
    view.SetColWidth(kFirstChoiceColumn + k, 70);
  }
  auto add = [&view](const char* text) {
    int row = view.RowCount();
    view.SetRowCount(row + 1);
    for (int c = kFirstChoiceColumn; c <= kLastChoiceColumn; ++c) view.SetCell(c, row, text);
  };
  add("xxx");
  add("yyyyyyyy");
  add("zz");
  add("wwwwwwwwww");
  return view;
}

// The rows printed from MakeView's view; 0 and 5 are no record rows of it.
const std::vector<int> kPrinted = {0, 1, 3, 5};

TEST(PrintLayout, OnlyTheRowsGivenAndOnlyShownColumns) {
  StringGrid view = MakeView();
  view.SetColWidth(4, 0);
  ReportTexts texts = CollectReportTexts(view, kPrinted, "Иванов П. С.");
  EXPECT_EQ(texts.n, 7);
  ASSERT_EQ(texts.Entries(), 3);
  EXPECT_EQ(texts.columns[0][0], "A");
  EXPECT_EQ(texts.columns[1][0], "");  // hidden column keeps its place, empty
  EXPECT_EQ(texts.columns[0][1], "xxx");
  EXPECT_EQ(texts.columns[0][2], "zz");
  EXPECT_EQ(texts.columns[7][0], "Исполнитель");
  EXPECT_EQ(texts.columns[7][2], "Иванов П. С.");
}

TEST(PrintLayout, GapAndMarginForOneFourAndEightColumns) {
  FixedMeasurer m;
  StringGrid view = MakeView();

  ReportTexts all = CollectReportTexts(view, kPrinted, "Op");
  ReportLayout eight = LayOutReport(all, m, 1000);
  // widths: A..G 30 each (xxx), operator "Исполнитель" 11 UTF-8 letters = 22 bytes * 12.
  EXPECT_EQ(eight.width[0], 30);
  EXPECT_EQ(eight.width[7], 264);
  EXPECT_EQ(eight.gap, (1000 - (7 * 30 + 264)) / 8);
  EXPECT_EQ(eight.leftMargin, eight.gap);
  EXPECT_EQ(eight.x[1], eight.x[0] + 30 + eight.gap);
  // A full gap on the left: the operator column ends at the right edge.
  EXPECT_EQ(eight.x[7] + eight.width[7], 1000 - (1000 - (7 * 30 + 264)) % 8);

  for (int c = 6; c <= kLastChoiceColumn; ++c) view.SetColWidth(c, 0);  // three shown: n = 4
  ReportTexts three = CollectReportTexts(view, kPrinted, "Op");
  EXPECT_EQ(three.n, 4);
  ReportLayout four = LayOutReport(three, m, 1000);
  EXPECT_EQ(four.gap, (1000 - (3 * 30 + 264)) / 4);
  EXPECT_EQ(four.leftMargin, four.gap / 2);
  EXPECT_EQ(four.x[1], four.x[0] + 30 + four.gap);
  EXPECT_EQ(four.x[3], four.x[2] + 30 + four.gap);
  EXPECT_EQ(four.x[4], four.x[3]);  // an empty column adds neither width nor gap
  EXPECT_EQ(four.x[7], four.x[3]);

  for (int c = 3; c <= 5; ++c) view.SetColWidth(c, 0);
  ReportLayout one = LayOutReport(CollectReportTexts(view, kPrinted, "Op"), m, 1000);
  EXPECT_EQ(one.gap, 1000 - 264);
  EXPECT_EQ(one.leftMargin, (1000 - 264) / 2);
  EXPECT_EQ(one.x[7], one.leftMargin);

  ReportLayout narrow = LayOutReport(all, m, 100);
  EXPECT_LT(narrow.gap, 0);  // texts wider than the page overlap
}

TEST(PrintLayout, PagesRepeatTheHeaderAndAFullLastPageAddsAHeaderOnlyPage) {
  // Page of 100 with lines of 20: a line written at 60 leaves less than two lines below it.
  auto lines = PaginateReport(7, 20, 100);
  std::vector<std::vector<int>> pages(3);
  for (const auto& l : lines) {
    ASSERT_LT(l.page, 3);
    pages[l.page].push_back(l.entry);
  }
  EXPECT_EQ(pages[0], (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(pages[1], (std::vector<int>{0, 4, 5, 6}));
  EXPECT_EQ(pages[2], (std::vector<int>{0}));  // the last record filled page 1
  EXPECT_EQ(lines[3].y, 60);
  EXPECT_EQ(lines[4].y, 0);
  EXPECT_EQ(lines[5].y, 20);

  auto full = PaginateReport(5, 20, 100);
  ASSERT_EQ(full.size(), 6u);
  EXPECT_EQ(full.back().page, 1);
  EXPECT_EQ(full.back().entry, 4);
  EXPECT_EQ(PaginateReport(4, 20, 100).back().entry, 0);  // a page holding only the header
}

}  // namespace
}  // namespace orti
