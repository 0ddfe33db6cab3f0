#pragma once
// "Настройки программы": start page, start style, connection, operators, the
// place of the column choices of the two views, and the names the lab gives
// the instruments the archive knows.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QWidget>
#include <functional>

#include "app/string_grid_model.h"
#include "archive/archive_keeper.h"
#include "archive/lab_names.h"
#include "model/console_state.h"
#include "platform/dialogs.h"
#include "settings/operators.h"
#include "settings/settings_file.h"

namespace orti {

class SettingsPage final : public QWidget {
  Q_OBJECT
 public:
  SettingsPage(ConsoleState& state, OperatorTable& operators, QWidget* parent = nullptr);
  // The instruments' table goes before the grid it shows.
  ~SettingsPage() override;

  // The message boxes of the main window, looked up at every use.
  void SetDialogs(std::function<Dialogs&()> dialogs) { dialogs_ = std::move(dialogs); }
  // The archive whose instruments are named.
  void SetArchive(ArchiveKeeper* archive) { archive_ = archive; }
  // The instruments listed anew from the archive (opened now if need be).
  void LoadInstruments();

  // What a save writes.
  SettingsPageValues Values() const;
  // Selects the start page's radio button (its click handler runs).
  void SelectStartPage(StartPage startPage);
  // A third of the grid's width for each column of SGUsers.
  void SizeUserColumns();

  QGroupBox* GroupBox1;  // "Стартовая страница"
  QRadioButton* RBByFolders;
  QRadioButton* RBByDateTime;
  QRadioButton* RBOptions;
  QCheckBox* CBStartStyle;
  QCheckBox* CBFastRead;
  QGroupBox* GroupBox3;  // "Параметры подключения"
  QRadioButton* RBAutodetect;
  QRadioButton* RBFixed;
  QLabel* LPort;
  QLineEdit* EPort;
  QLabel* LDevice;
  QLineEdit* EDevice;
  QGroupBox* GroupBox2;  // "Новая папка", hidden
  QLineEdit* ENewFolder;
  QGroupBox* GroupBox6;  // "Список работников"
  QTableView* SGUsers;
  QLineEdit* ELName;
  QLineEdit* EFName;
  QLineEdit* EMName;
  QPushButton* BtnAddUser;
  QPushButton* BtnDelUser;
  QGroupBox* GroupBox4;   // " Отображение данных блокнота "
  QWidget* ColumnsPlace;  // the views' column check lists go here
  QPushButton* BtnSaveOptions;
  QGroupBox* GroupInstruments;  // "Приборы архива"
  QTableView* SGInstruments;
  QLineEdit* ELabName;
  QPushButton* BtnSetLabName;

 signals:
  void SaveRequested();

 public slots:
  void RBByFoldersClick();
  void RBByDateTimeClick();
  void RBOptionsClick();
  void CBStartStyleClick();
  void CBFastReadClick();
  void RBAutodetectClick();
  void RBFixedClick();
  void BtnAddUserClick();
  void BtnDelUserClick();
  // The selected instrument gets the name typed in ELabName.
  void BtnSetLabNameClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Each time the page is shown: instruments read since are listed too.
  void showEvent(QShowEvent* event) override;

 private:
  void BuildStartGroup();
  void BuildConnectionGroup();
  void BuildUsersGroup();
  void BuildInstrumentsGroup();
  void SetConnectionFieldsEnabled(bool enabled);
  void SettingsChanged() { state_.settings.settingsChanged = true; }

  ConsoleState& state_;
  OperatorTable& operators_;
  StringGridModel* usersModel_;
  std::function<Dialogs&()> dialogs_;
  int keptUsersRow_ = 0;
  ArchiveKeeper* archive_ = nullptr;
  StringGrid instrumentsGrid_;
  LabNames labNames_{instrumentsGrid_};
  StringGridModel* instrumentsModel_;
};

}  // namespace orti
