#pragma once
// What the reading and the writing progress windows share: no title bar, a
// bar for the folders and one for the records of the current folder. While
// one is shown the cursor is the hourglass.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>

namespace orti {

class ProgressWindow : public QDialog {
  Q_OBJECT
 public:
  ProgressWindow(const char* objectName, const QString& title, QWidget* parent);
  ~ProgressWindow() override;

  QLabel* Label1;
  QLabel* Label3;
  QProgressBar* ProgressBar1;
  QLabel* Panel1;
  QProgressBar* ProgressBar2;

  // Shows the window with the hourglass; closing restores the cursor.
  void Open();
  void Finish();

 private:
  bool cursorSet_ = false;
};

}  // namespace orti
