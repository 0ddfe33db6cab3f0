// The main window's archive commands: the history page and the import of
// export files.

#include <QFileDialog>

#include "app/history_page.h"
#include "app/main_window.h"
#include "archive/archive_keeper.h"
#include "archive/import_files.h"
#include "platform/date_time.h"

namespace orti {

void TForm1::SBArchiveClick() {
  SwitchPage(PageCommand::kArchive, *model_, state_, *this);
}
void TForm1::MArchiveClick() {
  SwitchPage(PageCommand::kArchive, *model_, state_, *this);
  SBArchive->setChecked(true);
}

void TForm1::MArchiveImportClick() {
  const QStringList files = QFileDialog::getOpenFileNames(
      this, QString::fromUtf8("Импорт в архив"), QString::fromStdString(state_.exportFolder),
      QString::fromUtf8("Текстовые файлы (*.csv *.txt)"));
  ArchiveStore* store = files.isEmpty() ? nullptr : archive_->Store();
  if (!store) return;
  std::vector<FileImport> results;
  try {
    for (const QString& file : files) {
      results.push_back(ImportExportFile(*store, file.toStdString(), LocalNow()));
    }
  } catch (const ArchiveError& error) {
    archive_->ReportFault("Импорт в архив не выполнен", error);
    return;
  }
  for (const std::string& line : RefusalLines(results)) log_.AddLogLine(line);
  std::string summary;
  for (const FileImport& result : results) {
    log_.AddLogLine(ImportSummary(result));
    summary += ImportSummary(result) + "\n";
  }
  Ask().ShowMessage(summary);
  if (PageControl1->currentIndex() == kPageArchive) TabSheetArchive->Refresh();
}

}  // namespace orti
