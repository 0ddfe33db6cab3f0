#include "views/export.h"

#include <cerrno>
#include <vector>

#include "device/win32_error.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "views/exported_records.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr const char* kFolderTitle = kFolderViewTitles[0];  // "Папка", in both views
constexpr const char* kExportFilter = "Текстовые файлы (.csv)|*.csv|Текстовые файлы (.txt)|*.txt";

std::string WithDefaultExtension(std::string path) {
  const size_t slash = path.rfind('/');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.find('.') == std::string::npos) path += std::string(".") + kExportDefaultExtension;
  return path;
}

bool IsFolderColumn(const StringGrid& view, int col) {
  return view.Cell(col, 0) == kFolderTitle;
}

}  // namespace

std::string ExportNameField(const std::string& text) {
  std::string field = text;
  for (char& c : field) {
    if (c == ';' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  if (!field.empty() &&
      (field[0] == '=' || field[0] == '+' || field[0] == '-' || field[0] == '@')) {
    field.insert(0, "'");
  }
  return field;
}

ExistingExport ReadExistingExport(const std::string& cp1251Bytes) {
  ExistingExport file;
  const std::string text = Cp1251ToUtf8(cp1251Bytes);
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t brk = text.find_first_of("\r\n", pos);
    if (brk == std::string::npos) {
      file.lines.push_back(text.substr(pos));
      break;
    }
    file.lines.push_back(text.substr(pos, brk - pos));
    pos = brk + (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n' ? 2 : 1);
  }
  if (!cp1251Bytes.empty() && cp1251Bytes.back() != '\n') {
    file.lineEndToAdd = cp1251Bytes.back() == '\r' ? "\n" : "\r\n";
  }
  return file;
}

std::string ExportHeader(const StringGrid& view) {
  std::string header;
  for (int c = kFirstChoiceColumn; c <= kLastChoiceColumn; ++c) header += view.Cell(c, 0) + ";";
  return header + kOperatorTitle;
}

std::vector<std::string> ExportRowFields(const StringGrid& view, int row) {
  std::vector<std::string> fields;
  for (int c = kFirstChoiceColumn; c <= kLastChoiceColumn; ++c) {
    const std::string& cell = view.Cell(c, row);
    fields.push_back(IsFolderColumn(view, c) ? ExportNameField(cell) : cell);
  }
  return fields;
}

std::string ExportRowText(const StringGrid& view, int row) {
  return JoinExportFields(ExportRowFields(view, row));
}

ExportOutcome ExportRows(ExportContext& c, const std::vector<int>& rows) {
  std::optional<std::string> chosen = c.files.ChooseSaveFile(
      {kExportCaption, kExportFilter, kExportDefaultExtension, c.state.exportFolder});
  if (!chosen) return ExportOutcome::kCancelled;
  const std::string path = WithDefaultExtension(*chosen);

  bool extend = false;
  if (FileExists(path)) {
    switch (c.dialogs.Ask(
        "Файл уже существует.\nДополнить его?\n\nДа - дополнить файл\n\nНет - Заменить",
        kExportCaption, DialogIcon::kQuestion, DialogButtons::kYesNoCancel)) {
      case DialogAnswer::kYes:
        extend = true;
        break;
      case DialogAnswer::kNo:
        break;
      default:
        return ExportOutcome::kCancelled;
    }
  }

  const std::string header = ExportHeader(c.view);
  std::string oldBytes;  // an extended file's content, kept as it is before the new lines
  ExistingExport existing;
  if (extend) {
    FileResult read = ReadWholeFile(path, oldBytes);
    if (!read.ok) {
      c.dialogs.ShowMessage("Ошибка при чтении файла\n" + path + "\n" + FileErrorText(read));
      return ExportOutcome::kStopped;
    }
    existing = ReadExistingExport(oldBytes);
    // An empty file has no header to keep: it is written like a new one.
    if (!existing.lines.empty() && existing.lines.front() != header) {
      c.dialogs.Ask(
          "Структура файла не соответствует\nструктуре сохраняемых данных.\nВыполнение операции "
          "невозможно",
          kExportCaption, DialogIcon::kWarning, DialogButtons::kOk);
      return ExportOutcome::kStopped;
    }
  }

  std::string text;
  if (existing.lines.empty()) text += header + "\r\n";
  const ExportedRecords held(ExportRowFields(c.view, 0), existing.lines);
  const std::string operatorField = ExportNameField(c.state.session.operatorFullName);
  for (int row : rows) {
    if (row < c.view.FixedRows() || row >= c.view.RowCount()) continue;
    std::vector<std::string> fields = ExportRowFields(c.view, row);
    if (held.DecimalSeparator()) held.UseSeparator(fields, held.DecimalSeparator());
    if (!held.Holds(fields)) text += JoinExportFields(fields) + operatorField + "\r\n";
  }

  // Replaced or extended through ReplaceFile (links followed, a read-only
  // file refused, the old file or the new one after a crash). An extension
  // first completes the file's last line, so that no record is glued onto it.
  const std::string bytes = Utf8ToCp1251(text);
  FileResult written =
      ReplaceFile(path, oldBytes + existing.lineEndToAdd + bytes, c.fileSeam, oldBytes.size());
  if (!written.ok) {
    ReportWin32Error(written.errorNumber, c.state, c.log, written.reason);
    c.dialogs.ShowMessage("Ошибка при открытии файла\n" + path + "\n" + c.state.link.lastErrorText);
    return ExportOutcome::kStopped;
  }
  return ExportOutcome::kWritten;
}

}  // namespace orti
