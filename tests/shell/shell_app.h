#pragma once
// The one QApplication of the shell tests, under Qt's offscreen platform.

#include <QApplication>
#include <cstdlib>

namespace quarn::testing {

inline QApplication& ShellApp() {
  static int argc = 1;
  static char name[] = "test_shell";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Never destroyed: Qt's own globals may be gone by the time statics are torn down.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace quarn::testing
