#include "app/report_printer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>

namespace orti {
namespace {

QFont ReportFont(const QFont& gridFont, bool header) {
  QFont font = gridFont;
  font.setPointSizeF(gridFont.pointSizeF() + 2);
  font.setBold(header);
  font.setUnderline(header);
  return font;
}

class PrinterMeasurer final : public TextMeasurer {
 public:
  PrinterMeasurer(QPaintDevice* device, const QFont& gridFont)
      : regular_(ReportFont(gridFont, false), device),
        header_(ReportFont(gridFont, true), device) {}
  int TextWidth(const std::string& text, bool header) override {
    return (header ? header_ : regular_).horizontalAdvance(QString::fromStdString(text));
  }
  int LineHeight() override { return regular_.boundingRect(" ").height(); }

 private:
  QFontMetrics regular_;
  QFontMetrics header_;
};

}  // namespace

void PrintReportOn(QPrinter& printer, const ReportTexts& texts, const QFont& gridFont) {
  printer.setDocName(kReportJobTitle);
  QPainter painter;
  if (!painter.begin(&printer)) return;
  PrinterMeasurer measurer(&printer, gridFont);
  const QRect page = painter.viewport();
  const ReportLayout layout = LayOutReport(texts, measurer, page.width());
  const QFont regular = ReportFont(gridFont, false);
  const QFont header = ReportFont(gridFont, true);
  const int ascent = QFontMetrics(regular, &printer).ascent();

  int currentPage = 0;
  for (const ReportLine& line : PaginateReport(texts.Entries(), layout.lineHeight, page.height())) {
    if (line.page != currentPage) {
      printer.newPage();
      currentPage = line.page;
    }
    painter.setFont(line.entry == 0 ? header : regular);
    for (int c = 0; c < kReportColumns; ++c) {
      const std::string& text = texts.columns[c][static_cast<size_t>(line.entry)];
      if (!text.empty()) {
        painter.drawText(layout.x[c], line.y + ascent, QString::fromStdString(text));
      }
    }
  }
  painter.end();
}

void OfferNoPageRange(QPrintDialog& dialog) {
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
}

bool PrintReport(QWidget* parent, const StringGrid& view, const std::vector<int>& rows,
                 const std::string& operatorShortName, const QFont& gridFont) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, parent);
  OfferNoPageRange(dialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  PrintReportOn(printer, CollectReportTexts(view, rows, operatorShortName), gridFont);
  return true;
}

}  // namespace orti
