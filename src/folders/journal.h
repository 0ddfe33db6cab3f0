#pragma once
// The journal of folder operations: a four-column grid with one header row,
// a row per operation, and always one empty row after the last entry. Rows
// are only ever added.

#include <string>

#include "model/string_grid.h"

namespace orti {

constexpr const char* kJournalCreate = "Создание папки";
constexpr const char* kJournalRename = "Переименование папки";
constexpr const char* kJournalRemove = "Удаление папки";
constexpr const char* kJournalClear = "Очистка папки";
constexpr const char* kJournalClearAll = "Очистка всех папок";
constexpr const char* kJournalMarkDeleted = "Удаление записи";
constexpr const char* kJournalUnmarkDeleted = "Отмена удаления записи";

constexpr int kJournalTimeColumn = 0;  // "Дата/время"

// Columns, widths, the header row and one empty row.
void InitJournal(StringGrid& journal);

// Writes the header texts again, fills the last row with `now` ("dd.mm.yyyy
// hh:nn:ss") and the three texts, then adds an empty row.
void AddJournalRow(StringGrid& journal, double now, const std::string& operation,
                   const std::string& sourceFolder, const std::string& resultFolder);

}  // namespace orti
