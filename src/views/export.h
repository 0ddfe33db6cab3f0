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
#include "platform/atomic_file.h"

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
  ReplaceSeam* fileSeam = nullptr;  // tests: stops the file's replace at a chosen step
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
// A record's fields as the file holds them, without the operator: columns
// 3..9, the folder name protected by ExportNameField.
std::vector<std::string> ExportRowFields(const StringGrid& view, int row);
// The same as one text, each field followed by ";".
std::string ExportRowText(const StringGrid& view, int row);

// Writes `rows` (grid rows, in the order given); rows outside the grid are
// left out. An extended file is replaced by its old bytes plus the new lines
// (ReplaceFile), so a crash leaves it as it was or with every new line; its
// decimal separator is kept, and a record it holds by value is left out.
ExportOutcome ExportRows(ExportContext& context, const std::vector<int>& rows);

}  // namespace orti
