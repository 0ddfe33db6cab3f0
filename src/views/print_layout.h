#pragma once
// The printed report of a view's rows marked "P": which texts go on paper,
// where each column starts, and where the pages break. Measuring is left to
// the printer, behind TextMeasurer, so the arithmetic is tested without one.

#include <array>
#include <string>
#include <vector>

#include "model/string_grid.h"

namespace orti {

constexpr int kReportColumns = 8;  // seven data columns and the operator
constexpr const char* kReportJobTitle = "Отчет";

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Width of `text` in the header style (bold, underlined) or the regular one.
  virtual int TextWidth(const std::string& text, bool header) = 0;
  // Height of the text " " in the report font.
  virtual int LineHeight() = 0;
};

struct ReportTexts {
  // columns[c][0] is the header, columns[c][i] the i-th printed record.
  std::array<std::vector<std::string>, kReportColumns> columns;
  int n = 1;  // columns that take part, the operator's included
  int Entries() const { return static_cast<int>(columns[0].size()); }
};

// The header and `rows` (grid rows, in the order given; rows outside the
// grid are left out). A data column takes part when its width in the view is not 0.
ReportTexts CollectReportTexts(const StringGrid& view, const std::vector<int>& rows,
                               const std::string& operatorShortName);

struct ReportLayout {
  std::array<int, kReportColumns> width{};  // widest text of each column
  std::array<int, kReportColumns> x{};
  int gap = 0;
  int leftMargin = 0;
  int lineHeight = 0;
};

ReportLayout LayOutReport(const ReportTexts& texts, TextMeasurer& measurer, int pageWidth);

struct ReportLine {
  int page;   // from 0
  int y;      // top of the line
  int entry;  // 0 = the header
};

// Every line in printing order, the header repeated at the top of each new page.
std::vector<ReportLine> PaginateReport(int entries, int lineHeight, int pageHeight);

}  // namespace orti
