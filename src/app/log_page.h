#pragma once
// "Протокол работы программы": the work log, the summary grid beside it and
// the buttons that clear and save the log.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QWidget>

#include "app/string_grid_model.h"
#include "model/string_grid.h"
#include "settings/work_log.h"

namespace orti {

class LogPage final : public QWidget {
  Q_OBJECT
 public:
  LogPage(WorkLog& log, StringGrid& totalData, QWidget* parent = nullptr);

  QPlainTextEdit* MemoLog;
  QSplitter* Splitter1;
  QTableView* SGTotalData;
  QPushButton* BtnClearLog;
  QPushButton* BtnSaveLog;
  QPushButton* BitBtn7;

 signals:
  void SaveRequested();

 private:
  WorkLog& log_;
};

}  // namespace orti
