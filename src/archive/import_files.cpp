#include "archive/import_files.h"

#include "archive/csv_import.h"
#include "platform/atomic_file.h"

namespace orti {

FileImport ImportExportFile(ArchiveStore& store, const std::string& file, double now) {
  FileImport result;
  result.file = file;
  std::string bytes;
  const FileResult read = ReadWholeFile(file, bytes);
  if (!read.ok) {
    result.failure = FileErrorText(read);
    return result;
  }
  ParsedExport parsed = ParseExportFile(bytes);
  result.utf8 = parsed.utf8;
  if (!parsed.recognised) {
    result.failure = parsed.utf8 ? "не файл экспорта (текст в UTF-8)" : "не файл экспорта";
    return result;
  }
  result.errors = std::move(parsed.errors);
  result.added = store.Import(file, parsed.lines, now, &result.batch);
  return result;
}

std::string ImportSummary(const FileImport& r) {
  const std::string file = r.file + (r.utf8 ? " (UTF-8)" : "");
  if (!r.failure.empty()) return r.file + ": " + r.failure;
  std::string text = file + ": добавлено " + std::to_string(r.added);
  if (r.batch != 0) text += " (импорт " + std::to_string(r.batch) + ")";
  if (!r.errors.empty()) text += ", не прочитано строк: " + std::to_string(r.errors.size());
  return text;
}

std::vector<std::string> RefusalLines(const std::vector<FileImport>& results) {
  std::vector<std::string> lines;
  size_t more = 0;
  for (const FileImport& r : results) {
    for (const std::string& e : r.errors) {
      if (lines.size() < kRefusalsShownAtMost) {
        lines.push_back(r.file + ": " + e);
      } else {
        ++more;
      }
    }
  }
  if (more > 0) lines.push_back("и ещё " + std::to_string(more) + " строк не прочитано");
  return lines;
}

}  // namespace orti
