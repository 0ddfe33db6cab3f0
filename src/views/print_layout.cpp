#include "views/print_layout.h"

#include "views/view_layout.h"

namespace orti {

ReportTexts CollectReportTexts(const StringGrid& view, const std::vector<int>& rows,
                               const std::string& operatorShortName) {
  ReportTexts texts;
  bool takesPart[kChoiceColumns];
  texts.n = 1;
  for (int k = 0; k < kChoiceColumns; ++k) {
    takesPart[k] = view.ColWidth(kFirstChoiceColumn + k) != 0;
    if (takesPart[k]) ++texts.n;
  }
  auto addRow = [&](int row, const std::string& operatorText) {
    for (int k = 0; k < kChoiceColumns; ++k) {
      texts.columns[k].push_back(takesPart[k] ? view.Cell(kFirstChoiceColumn + k, row)
                                              : std::string());
    }
    texts.columns[kChoiceColumns].push_back(operatorText);
  };
  addRow(0, kOperatorTitle);
  for (int row : rows) {
    if (row >= view.FixedRows() && row < view.RowCount()) addRow(row, operatorShortName);
  }
  return texts;
}

ReportLayout LayOutReport(const ReportTexts& texts, TextMeasurer& measurer, int pageWidth) {
  ReportLayout layout;
  layout.lineHeight = measurer.LineHeight();
  for (int c = 0; c < kReportColumns; ++c) {
    for (int i = 0; i < texts.Entries(); ++i) {
      const int w = measurer.TextWidth(texts.columns[c][static_cast<size_t>(i)], i == 0);
      if (w > layout.width[c]) layout.width[c] = w;
    }
  }
  int total = 0;
  for (int w : layout.width) total += w;
  layout.gap = (pageWidth - total) / texts.n;  // truncates toward zero, may be negative
  layout.leftMargin = texts.n >= 5 ? layout.gap : layout.gap / 2;
  layout.x[0] = layout.leftMargin;
  for (int c = 1; c < kReportColumns; ++c) {
    const int previous = layout.width[c - 1];
    layout.x[c] = layout.x[c - 1] + (previous != 0 ? previous + layout.gap : 0);
  }
  return layout;
}

std::vector<ReportLine> PaginateReport(int entries, int lineHeight, int pageHeight) {
  std::vector<ReportLine> lines;
  int page = 0;
  int line = 0;
  for (int i = 0; i < entries; ++i) {
    const int y = lineHeight * line;
    lines.push_back({page, y, i});
    if (y + 2 * lineHeight >= pageHeight) {
      ++page;
      lines.push_back({page, 0, 0});
      line = 1;
    } else {
      ++line;
    }
  }
  return lines;
}

}  // namespace orti
