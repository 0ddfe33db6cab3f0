#include "app/connection_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>

namespace orti {

TForm3::TForm3(bool& abortFlag, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      abort_(abortFlag) {
  setObjectName("TForm3");
  setWindowTitle("Подключение");
  setFixedSize(260, 120);
  setModal(false);

  Label1 = new QLabel("Порт", this);
  EPort = new QLineEdit(this);
  EPort->setObjectName("EPort");
  EPort->setReadOnly(true);
  Label2 = new QLabel("№ подключения", this);
  EDevice = new QLineEdit(this);
  EDevice->setObjectName("EDevice");
  EDevice->setReadOnly(true);
  Animate1 = new QProgressBar(this);
  Animate1->setObjectName("Animate1");
  Animate1->setRange(0, 0);  // a running busy indicator
  Animate1->setTextVisible(false);
  BitBtn1 = new QPushButton("Прервать", this);
  BitBtn1->setObjectName("BitBtn1");

  auto* frame = new QGridLayout(this);
  frame->addWidget(Label1, 0, 0);
  frame->addWidget(EPort, 0, 1);
  frame->addWidget(Label2, 1, 0);
  frame->addWidget(EDevice, 1, 1);
  frame->addWidget(Animate1, 2, 0, 1, 2);
  frame->addWidget(BitBtn1, 3, 0, 1, 2, Qt::AlignHCenter);
  setStyleSheet("TForm3 { border: 1px solid palette(dark); }");

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().width() - width() - 10, 1);
  }
  connect(BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
}

void TForm3::BitBtn1Click() {
  abort_ = true;
}

void TForm3::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace orti
