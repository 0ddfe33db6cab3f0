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
  if (!parsed.recognised) {
    result.failure = "не файл экспорта";
    return result;
  }
  result.errors = std::move(parsed.errors);
  result.added = store.Import(file, parsed.lines, now, &result.batch);
  return result;
}

std::string ImportSummary(const FileImport& r) {
  if (!r.failure.empty()) return r.file + ": " + r.failure;
  return r.file + ": добавлено " + std::to_string(r.added) + " (импорт " + std::to_string(r.batch) +
         ")";
}

}  // namespace orti
