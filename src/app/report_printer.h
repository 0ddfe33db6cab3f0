#pragma once
// The printed report on a real printer (or a PDF file through Qt's printer).

#include <QFont>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>
#include <string>
#include <vector>

#include "model/string_grid.h"
#include "views/print_layout.h"

namespace orti {

// Lays out and prints `texts` in `gridFont` raised by two points; the header
// line bold and underlined, repeated at the top of every page.
void PrintReportOn(QPrinter& printer, const ReportTexts& texts, const QFont& gridFont);

// The report prints every marked row: the dialog offers no page range (nor
// selection, nor current page) that the report would ignore.
void OfferNoPageRange(QPrintDialog& dialog);

// The print dialog, then the report of the view's `rows` (those marked "P").
// False when the operator cancelled the dialog.
bool PrintReport(QWidget* parent, const StringGrid& view, const std::vector<int>& rows,
                 const std::string& operatorShortName, const QFont& gridFont);

}  // namespace orti
