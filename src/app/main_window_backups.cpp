// The main window's part in restoring folders from a backup file.

#include <QFileDialog>

#include "app/folders_page.h"
#include "app/main_window.h"
#include "folders/backup_store.h"
#include "folders/restore.h"
#include "platform/date_time.h"

namespace orti {

void TForm1::MRestoreClick() {
  if (state_.link.busy) return;
  if (state_.link.offline) {
    Ask().ShowMessage("Нет подключения к прибору");
    return;
  }
  const QString path = QFileDialog::getOpenFileName(
      this, QString::fromUtf8(kRestoreMenuText),
      QString::fromStdString(state_.programFolder + kBackupsFolder),
      QString("Резервные копии (%1*%2)").arg(kBackupPrefix, kBackupExtension));
  if (path.isEmpty()) return;
  RestoreFromBackup(SyncFor(), path.toStdString(), {}, LocalNow());
  TabSheet1->FillFolderList(*model_);
}

void TForm1::OfferRestoreAfterCut() {
  if (state_.link.offline) return;
  orti::OfferRestoreAfterCut(SyncFor(), LocalNow());
  TabSheet1->FillFolderList(*model_);
}

}  // namespace orti
