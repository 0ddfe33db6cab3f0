#include "views/export.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "device/win32_error.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "platform/system_error.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr const char* kExportFilter = "Текстовые файлы (.csv)|*.csv|Текстовые файлы (.txt)|*.txt";

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    lines.push_back(text.substr(start, stop - start));
    start = end + 1;
  }
  return lines;
}

std::string WithDefaultExtension(std::string path) {
  const size_t slash = path.rfind('/');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.find('.') == std::string::npos) path += std::string(".") + kExportDefaultExtension;
  return path;
}

bool IsMarked(const StringGrid& view, int row, char mark) {
  const std::string& cell = view.Cell(kMarkColumn, row);
  return cell.size() == 1 && (cell[0] == mark || cell[0] == mark - 'A' + 'a');
}

// Appends `bytes` to the end of the file as it is.
FileResult AppendToFile(const std::string& path, const std::string& bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return {false, errno};
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      close(fd);
      return {false, err};
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0) return {false, errno};
  return {};
}

}  // namespace

std::string ExportHeader(const StringGrid& view) {
  std::string header;
  for (int c = kFirstChoiceColumn; c <= kLastChoiceColumn; ++c) header += view.Cell(c, 0) + ";";
  return header + kOperatorTitle;
}

std::string ExportRowText(const StringGrid& view, int row) {
  std::string text;
  for (int c = kFirstChoiceColumn; c <= kLastChoiceColumn; ++c) text += view.Cell(c, row) + ";";
  return text;
}

ExportOutcome ExportMarkedRows(ExportContext& c) {
  std::optional<std::string> chosen = c.files.ChooseSaveFile(
      {kExportCaption, kExportFilter, kExportDefaultExtension, c.state.programFolder});
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
  std::vector<std::string> existing;
  if (extend) {
    std::string bytes;
    FileResult read = ReadWholeFile(path, bytes);
    if (!read.ok) {
      c.dialogs.ShowMessage("Ошибка при чтении файла\n" + path + "\n" +
                            SystemErrorText(read.errorNumber));
      return ExportOutcome::kStopped;
    }
    existing = SplitLines(Cp1251ToUtf8(bytes));
    // An empty file has no header to keep: it is written like a new one.
    if (!existing.empty() && existing.front() != header) {
      c.dialogs.Ask(
          "Структура файла не соответствует\nструктуре сохраняемых данных.\nВыполнение операции "
          "невозможно",
          kExportCaption, DialogIcon::kWarning, DialogButtons::kOk);
      return ExportOutcome::kStopped;
    }
  }

  std::string text;
  if (!extend || existing.empty()) text += header + "\r\n";
  for (int row = 1; row < c.view.RowCount(); ++row) {
    if (!IsMarked(c.view, row, 'S')) continue;
    const std::string rowText = ExportRowText(c.view, row);
    bool present = false;
    for (const std::string& line : existing) {
      if (line.find(rowText) != std::string::npos) {
        present = true;
        break;
      }
    }
    if (!present) text += rowText + c.state.operatorFullName + "\r\n";
  }

  // A replaced file is written beside the old one and renamed over it, so a
  // failure never leaves the operator with neither.
  const std::string bytes = Utf8ToCp1251(text);
  FileResult written = extend ? AppendToFile(path, bytes) : WriteFileAtomically(path, bytes);
  if (!written.ok) {
    ReportWin32Error(written.errorNumber, c.state, c.log);
    c.dialogs.ShowMessage("Ошибка при открытии файла\n" + path + "\n" + c.state.lastErrorText);
    return ExportOutcome::kStopped;
  }
  return ExportOutcome::kWritten;
}

}  // namespace orti
