#include "folders/journal.h"

#include "platform/date_time.h"

namespace orti {

namespace {

constexpr int kColumns = 4;
constexpr int kWidths[kColumns] = {102, 240, 182, 164};
constexpr const char* kTitles[kColumns] = {"Дата/время", "Операция", "Исходная папка",
                                           "Результирующая папка"};

}  // namespace

void InitJournal(StringGrid& journal) {
  journal.SetColCount(kColumns);
  journal.SetFixedRows(1);
  journal.SetRowCount(2);
  for (int c = 0; c < kColumns; ++c) {
    journal.SetColWidth(c, kWidths[c]);
    journal.SetCell(c, 0, kTitles[c]);
  }
}

void AddJournalRow(StringGrid& journal, double now, const std::string& operation,
                   const std::string& sourceFolder, const std::string& resultFolder) {
  if (journal.RowCount() < 2) journal.SetRowCount(2);  // never write an entry over the header
  for (int c = 0; c < kColumns; ++c) journal.SetCell(c, 0, kTitles[c]);
  const int row = journal.RowCount() - 1;
  journal.SetCell(kJournalTimeColumn, row, FormatDateTime(now));
  journal.SetCell(1, row, operation);
  journal.SetCell(2, row, sourceFolder);
  journal.SetCell(3, row, resultFolder);
  journal.SetRowCount(journal.RowCount() + 1);
}

}  // namespace orti
