#pragma once
// The one QApplication of a widget test program, created on first use.

#include <QApplication>

namespace orti::test {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace orti::test
