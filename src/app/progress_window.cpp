#include "app/progress_window.h"

#include <QApplication>
#include <QVBoxLayout>

namespace orti {

ProgressWindow::ProgressWindow(const char* objectName, const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint) {
  setObjectName(objectName);
  setFixedSize(424, 177);
  setModal(false);
  Label1 = new QLabel(title, this);
  Label1->setObjectName("Label1");
  Label1->setAlignment(Qt::AlignCenter);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  Label3 = new QLabel("Папки", this);
  Label3->setObjectName("Label3");
  Label3->setAlignment(Qt::AlignCenter);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  // A panel in the design; a plain label here, or the style draws it as a button.
  Panel1 = new QLabel("Записи в папках", this);
  Panel1->setObjectName("Panel1");
  Panel1->setAlignment(Qt::AlignCenter);
  ProgressBar2 = new QProgressBar(this);
  ProgressBar2->setObjectName("ProgressBar2");
  for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
    bar->setTextVisible(false);
    bar->setRange(0, 1);
    bar->setValue(0);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Label3);
  layout->addWidget(ProgressBar1);
  layout->addWidget(Panel1);
  layout->addWidget(ProgressBar2);
  setStyleSheet("ProgressWindow { border: 1px solid palette(dark); }");
}

ProgressWindow::~ProgressWindow() {
  Finish();
}

void ProgressWindow::Open() {
  if (parentWidget()) {
    move(parentWidget()->geometry().center() - rect().center());
  }
  show();
  if (!cursorSet_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorSet_ = true;
  }
}

void ProgressWindow::Finish() {
  if (isVisible()) hide();
  if (cursorSet_) {
    QApplication::restoreOverrideCursor();
    cursorSet_ = false;
  }
}

}  // namespace orti
