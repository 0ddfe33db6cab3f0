#pragma once
// The connection window: a small window without a title bar at the top right
// of the screen, showing the port and the attempt while the instrument is
// searched; "Прервать" asks the search to stop.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace orti {

class TForm3 final : public QDialog {
  Q_OBJECT
 public:
  // `abortFlag` is the console state's abort flag, set by "Прервать".
  TForm3(bool& abortFlag, QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* EPort;
  QLabel* Label2;
  QLineEdit* EDevice;
  QProgressBar* Animate1;
  QPushButton* BitBtn1;

 public slots:
  void BitBtn1Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override {}  // Escape does not close it either

 private:
  bool& abort_;
};

}  // namespace orti
