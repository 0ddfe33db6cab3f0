#include "app/folders_page.h"

#include <QHBoxLayout>

namespace orti {

FoldersPage::FoldersPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet1");
  LBFolders = new QListWidget(this);
  LBFolders->setObjectName("LBFolders");
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(LBFolders);
  layout->addStretch();
  connect(LBFolders, &QListWidget::itemClicked, this, &FoldersPage::FolderClicked);
}

}  // namespace orti
