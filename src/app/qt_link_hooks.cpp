#include "app/qt_link_hooks.h"

#include <QApplication>

namespace orti {

QtLinkHooks::~QtLinkHooks() {
  delete form3_;
}

void QtLinkHooks::ProcessMessages() {
  QApplication::processEvents();
}

void QtLinkHooks::ShowPort(const std::string& portName) {
  if (form3_) form3_->EPort->setText(QString::fromStdString(portName));
}

void QtLinkHooks::ShowAttempt(const std::string& attempt) {
  if (form3_) form3_->EDevice->setText(QString::fromStdString(attempt));
}

void QtLinkHooks::Open() {
  delete form3_;
  form3_ = new TForm3(state_.link.abort, owner_);
  form3_->show();
  QApplication::processEvents();
}

void QtLinkHooks::Close() {
  delete form3_;
  form3_ = nullptr;
}

}  // namespace orti
