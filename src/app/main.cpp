#include <QMessageBox>
#include <iostream>
#include <string>
#include <vector>

#include "app/console_application.h"
#include "app/main_window.h"
#include "archive/archive_path.h"
#include "platform/program_folder.h"

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
  // Without a home there is no folder of the user's own for the settings or the archive.
  if (orti::ResolveProgramFolder(orti::CurrentProgramFolderSources()).path.empty() ||
      orti::ResolveArchivePath(orti::CurrentArchivePathSources()).empty()) {
    std::cerr << "orti415: " << orti::kNoHomeMessage << "\n";
    QMessageBox::critical(nullptr, "Orti-415", QString::fromUtf8(orti::kNoHomeMessage));
    return 1;
  }
  orti::TForm1 form1;
  if (form1.FormShow(arguments) == orti::StartupResult::kQuit) return 0;
  form1.ShowAfterStartup();
  return app.exec();
}
