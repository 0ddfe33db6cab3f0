#include "app/console_application.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
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

std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  const std::string& first = arguments.front();
  if (first == "--version") return std::string("orti415 ") + ORTI415_VERSION + "\n";
  if (first == "--help" || first == "-h") {
    return "Usage: orti415 [/DEBUG]\n"
           "Console for the notepad memory of the ORTI-415 pH-meter (Russian interface).\n"
           "\n"
           "  /DEBUG       connect, but do not read the notepad at start-up (any letter case)\n"
           "  --help, -h   this text\n"
           "  --version    the program's version\n"
           "\n"
           "Environment: ORTI415_HOME names the program folder (settings, work log);\n"
           "ORTI415_PORTS assigns port numbers to devices, e.g. \"1=/dev/ttyUSB0\".\n"
           "The same workflows without windows: orti415-cli --help.\n";
  }
  return std::nullopt;
}

bool InstallQtTranslations(QApplication& app, const QString& folder) {
  auto* translator = new QTranslator(&app);
  const QString from =
      folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  if (!translator->load("qtbase_ru", from)) {
    delete translator;
    return false;
  }
  return QApplication::installTranslator(translator);
}

void SetApplicationIdentity(QApplication& app) {
  app.setApplicationName("Orti-415");
  app.setApplicationVersion(ORTI415_VERSION);
  QGuiApplication::setDesktopFileName(kDesktopFileName);
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QString(":/icons/orti415-%1.png").arg(size), QSize(size, size));
  }
  QApplication::setWindowIcon(icon);
}

}  // namespace orti
