#include <string>
#include <vector>

#include "app/console_application.h"
#include "app/tform1.h"

int main(int argc, char** argv) {
  orti::ConsoleApplication app(argc, argv);
  app.setApplicationName("Orti-415");
  orti::TForm1 form1;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (form1.FormShow(arguments) == orti::StartupResult::kQuit) return 0;
  form1.ShowAfterStartup();
  return app.exec();
}
