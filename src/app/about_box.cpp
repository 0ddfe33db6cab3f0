#include "app/about_box.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace orti {
namespace {

// A measuring cell over a pH scale: the picture across the top of the window.
QPixmap AboutPicture(int width, int height) {
  QPixmap pixmap(width, height);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient scale(0, 0, width, 0);
  scale.setColorAt(0.0, QColor(220, 40, 40));
  scale.setColorAt(0.5, QColor(60, 170, 60));
  scale.setColorAt(1.0, QColor(60, 60, 200));
  p.fillRect(pixmap.rect(), scale);
  p.setPen(QPen(Qt::white, 1));
  for (int ph = 0; ph <= 14; ++ph) {
    int x = 8 + ph * (width - 16) / 14;
    p.drawLine(x, height - 10, x, height - 4);
  }
  p.setBrush(QColor(255, 255, 255, 200));
  p.setPen(QPen(QColor(30, 30, 30), 1.5));
  p.drawRoundedRect(QRectF(width / 2.0 - 10, 6, 20, height - 22), 8, 8);
  p.setBrush(QColor(80, 140, 220, 220));
  p.drawEllipse(QPointF(width / 2.0, height - 22), 7, 7);
  return pixmap;
}

QLabel* CentredLabel(const QString& text, QWidget* parent, const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

QToolButton* LinkButton(const QString& text, QWidget* parent, const char* name) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(text);
  button->setAutoRaise(true);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutBox");
  setWindowTitle("О программе");
  setFixedSize(367, 262);

  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);

  Image1 = new QLabel(panel);
  Image1->setObjectName("Image1");
  Image1->setPixmap(AboutPicture(343, 64));
  Image1->setScaledContents(true);
  ProductName = CentredLabel("pH-метр \"ОРТИ-415\"", panel, "ProductName");
  QFont big = ProductName->font();
  big.setPointSize(big.pointSize() + 3);
  big.setBold(true);
  ProductName->setFont(big);
  Label2 = CentredLabel("Консоль управления блокнотом", panel, "Label2");
  Version = CentredLabel("Версия 1.0 (RC1)", panel, "Version");
  Notice = CentredLabel("Для аналитических лабораторий", panel, "Notice");
  SBMailTo = LinkButton(kMakerMail, panel, "SBMailTo");
  SBWeb = LinkButton(kMakerWeb, panel, "SBWeb");

  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(6, 6, 6, 6);
  panelLayout->setSpacing(2);
  panelLayout->addWidget(Image1);
  panelLayout->addWidget(ProductName);
  panelLayout->addWidget(Label2);
  panelLayout->addWidget(Version);
  panelLayout->addWidget(Notice);
  panelLayout->addWidget(SBMailTo, 0, Qt::AlignHCenter);
  panelLayout->addWidget(SBWeb, 0, Qt::AlignHCenter);

  OKButton = new QPushButton("OK", this);
  OKButton->setObjectName("OKButton");
  OKButton->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(panel, 1);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
  SetLinkLook(false);

  connect(Timer1, &QTimer::timeout, this, &TAboutBox::Timer1Timer);
  connect(SBMailTo, &QToolButton::clicked, this, &TAboutBox::SBMailToClick);
  connect(SBWeb, &QToolButton::clicked, this, &TAboutBox::SBWebClick);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TAboutBox::SetLinkLook(bool underlined) {
  for (QToolButton* link : {SBMailTo, SBWeb}) {
    QFont font = link->font();
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(underlined);
    link->setFont(font);
    QPalette pal = link->palette();
    pal.setColor(QPalette::ButtonText,
                 underlined ? pal.color(QPalette::Highlight) : pal.color(QPalette::WindowText));
    link->setPalette(pal);
  }
}

void TAboutBox::showEvent(QShowEvent* event) {
  phase_ = 0;
  Timer1->start();
  QDialog::showEvent(event);
}

void TAboutBox::done(int result) {
  Timer1->stop();
  QDialog::done(result);
}

void TAboutBox::Timer1Timer() {
  SetLinkLook(phase_ == 0);
  phase_ = phase_ == 0 ? 1 : 0;
}

void TAboutBox::SBMailToClick() {
  QDesktopServices::openUrl(QUrl("mailto:" + SBMailTo->text()));
}

void TAboutBox::SBWebClick() {
  QDesktopServices::openUrl(QUrl(SBWeb->text()));
}

}  // namespace orti
