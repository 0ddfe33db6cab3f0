#include "app/report_printer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_app.h"
#include "views/view_layout.h"

namespace orti {
namespace {

std::string PdfText(const std::string& pdf) {
  std::string text;
  FILE* pipe = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  pclose(pipe);
  return text;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ReportPrinter, PdfHoldsHeaderRowsOperatorAndRepeatsTheHeaderOnNewPages) {
  test::App();

  StringGrid view(kViewColumns, 1, 1);
  const char* titles[] = {"Папка", "Режим", "Дата/Время", "T (C)", "ЭДС (мВ)", "pH", "pH25"};
  for (int k = 0; k < kChoiceColumns; ++k) {
    view.SetCell(kFirstChoiceColumn + k, 0, titles[k]);
    view.SetColWidth(kFirstChoiceColumn + k, 70);
  }
  view.SetColWidth(kFirstChoiceColumn + 1, 0);  // "Режим" unticked: not printed
  const int records = 120;                      // more than one page
  view.SetRowCount(records + 2);
  std::vector<int> printed;  // every row but the last
  for (int row = 1; row <= records + 1; ++row) {
    if (row <= records) printed.push_back(row);
    view.SetCell(3, row, "Вода " + std::to_string(row));
    view.SetCell(4, row, "mV");
    view.SetCell(5, row, "14.02.2026 12:34:56");
    view.SetCell(8, row, "7,250");
  }
  test::TempDir dir;
  const std::string pdf = dir.File("report.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  QFont font("DejaVu Sans", 8);
  PrintReportOn(printer, CollectReportTexts(view, printed, "Иванов П. С."), font);

  const std::string text = PdfText(pdf);
  ASSERT_FALSE(text.empty()) << "pdftotext gave nothing";
  const size_t pages = Count(text, "\f");  // pdftotext ends every page with a form feed
  EXPECT_GE(pages, 2u);
  EXPECT_EQ(Count(text, "Исполнитель"), pages);  // the header opens every page
  EXPECT_EQ(Count(text, "Иванов П. С."), static_cast<size_t>(records));
  EXPECT_NE(text.find("Вода 1 "), std::string::npos);
  EXPECT_NE(text.find("Вода 120"), std::string::npos);
  EXPECT_EQ(text.find("Вода 121"), std::string::npos);  // a row not given is not printed
  EXPECT_EQ(text.find("mV"), std::string::npos);        // the unticked column
  EXPECT_NE(text.find("14.02.2026 12:34:56"), std::string::npos);
}

// Issue 13: the report prints every "P" row; no page range is offered that it would ignore.
TEST(ReportPrinter, ThePrintDialogOffersNoPageRange) {
  test::App();
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer);
  OfferNoPageRange(dialog);
  EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
  EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
  EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintCurrentPage));
}

}  // namespace
}  // namespace orti
