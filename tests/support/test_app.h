#pragma once
// The one QApplication of a widget test program, created on first use.

#include <QApplication>

namespace orti::test {

inline QApplication& App() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  return *new QApplication(argc, argv);
}

}  // namespace orti::test
