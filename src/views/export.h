#pragma once
// Writing chosen rows of a view-shaped grid to a semicolon-separated cp1251
// file: a header of the column titles for a new file, one line per row ending
// with the operator's full name, and never a record the file already holds.
// The caller chooses the rows: a view its records marked "S", the history
// page the measurements selected.

#include <optional>
#include <string>
#include <vector>

#include "device/console_services.h"
#include "model/string_grid.h"

namespace orti {

constexpr const char* kExportCaption = "Экспорт данных";
constexpr const char* kExportDefaultExtension = "csv";

enum class ExportOutcome {
  kWritten,    // written, or nothing to do: the marks are reset
  kCancelled,  // the operator cancelled: the marks are reset
  kStopped,    // refused or failed: the marks stay
};

// Beside the services, the view whose "S" rows are written and the save dialog.
struct ExportContext : ConsoleServices {
  const StringGrid& view;
  FileChooser& files;
};

// A name field (folder or operator) as an export holds it: ";" and control
// characters become blanks, and a text beginning with "=", "+", "-" or "@"
// gets a leading apostrophe, so that a spreadsheet takes it for text, never
// for a formula.
std::string ExportNameField(const std::string& text);

// An existing export before it is extended: its lines (UTF-8, line ends of
// CR LF, LF or CR removed) and what completes its last line ("" when it ends
// with a line end).
struct ExistingExport {
  std::vector<std::string> lines;
  std::string lineEndToAdd;
};
ExistingExport ReadExistingExport(const std::string& cp1251Bytes);

// The header this view writes: the titles of columns 3..9 each followed by ";", then "Исполнитель".
std::string ExportHeader(const StringGrid& view);
// A record's text as the file holds it, without the operator: columns 3..9
// each followed by ";", the folder name protected by ExportNameField.
std::string ExportRowText(const StringGrid& view, int row);

// Writes `rows` (grid rows, in the order given); rows outside the grid are left out.
ExportOutcome ExportRows(ExportContext& context, const std::vector<int>& rows);

}  // namespace orti
