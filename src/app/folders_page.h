#pragma once
// Folder management: the folder list, the name field, the folder buttons and
// the journal of operations.

#include <QListWidget>
#include <QWidget>

namespace orti {

class FoldersPage final : public QWidget {
  Q_OBJECT
 public:
  explicit FoldersPage(QWidget* parent = nullptr);

  QListWidget* LBFolders;

 signals:
  // The selection of LBFolders changed or was set by the program.
  void FolderClicked();
};

}  // namespace orti
