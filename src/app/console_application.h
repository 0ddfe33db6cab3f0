#pragma once
// The application object: an exception that reaches the message loop is shown
// in a message box instead of ending the program.

#include <QApplication>

namespace orti {

class ConsoleApplication final : public QApplication {
 public:
  ConsoleApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace orti
