#include <iostream>
#include <string>
#include <vector>

#include "app/console_application.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  // --help and --version are answered without a window or a display.
  if (const auto answer = orti::CommandLineAnswer(arguments)) {
    std::cout << *answer;
    return 0;
  }
  orti::ConsoleApplication app(argc, argv);
  orti::SetApplicationIdentity(app);
  orti::InstallQtTranslations(app);
  orti::TForm1 form1;
  if (form1.FormShow(arguments) == orti::StartupResult::kQuit) return 0;
  form1.ShowAfterStartup();
  return app.exec();
}
