#pragma once
// Inside " Отображение данных блокнота ": which columns of the two views are shown,
// one check list per view on the tabs "По папкам" and "По датам". Item k of a
// list stands for column k + 3 of its view. The ticks are not saved.

#include <QListWidget>
#include <QTabWidget>
#include <QWidget>
#include <string>
#include <vector>

namespace orti {

class ColumnChoice final : public QWidget {
  Q_OBJECT
 public:
  explicit ColumnChoice(QWidget* parent = nullptr);

  // Replaces the items of both lists with the titles, all ticked.
  void Fill(const std::vector<std::string>& folderTitles,
            const std::vector<std::string>& dateTitles);
  static std::vector<bool> Ticks(const QListWidget* list);

  QTabWidget* PageControl3;
  QListWidget* CLBoxFolders;
  QListWidget* CLBoxDate;

 signals:
  // Any click in a list, and every change of a tick.
  void FoldersClicked();
  void DateClicked();
};

}  // namespace orti
