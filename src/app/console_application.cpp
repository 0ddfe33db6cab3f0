#include "app/console_application.h"

#include <QMessageBox>
#include <exception>

namespace orti {

bool ConsoleApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    QMessageBox::critical(activeWindow(), "Orti-415", QString::fromUtf8(e.what()));
  }
  return false;
}

}  // namespace orti
