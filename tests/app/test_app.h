#pragma once
// The one QApplication of the widget tests, whichever test asks first.

#include <QApplication>

namespace orti::test {

inline QApplication& TestApp() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  return *new QApplication(argc, argv);
}

}  // namespace orti::test
