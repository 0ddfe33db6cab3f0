#include "app/console_application.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/help_text.h"

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
           "\n" +
           EnvironmentAndFilesHelp(HelpFor::kConsole) +
           "\n"
           "Exit status: 0 when the console is closed, also after a cancelled registration\n"
           "or with no free port; 1 with no display to open the window on.\n"
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

std::string NoDisplayLine(const std::string& platform, const std::string& display,
                          const std::string& waylandDisplay) {
  auto missing = [](const char* variable, const std::string& value) {
    return value.empty() ? std::string("нет дисплея (переменная ") + variable + " не задана)"
                         : "дисплей " + value + " недоступен (" + variable + ")";
  };
  std::string what;
  if (platform.empty() && display.empty() && waylandDisplay.empty()) {
    what = "нет дисплея (переменные DISPLAY и WAYLAND_DISPLAY не заданы)";
  } else if (platform.rfind("wayland", 0) == 0) {
    what = missing("WAYLAND_DISPLAY", waylandDisplay);
  } else if (platform.empty() || platform == "xcb") {
    what = missing("DISPLAY", display);
  } else {
    what = "платформа " + platform + " не открывает окон (QT_QPA_PLATFORM)";
  }
  return "orti415: " + what + "; без окон работает orti415-cli.";
}

namespace {

// Qt ends the program (abort) from inside QApplication's constructor when its
// window system cannot start; a message handler is the one way to hear it first.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
  if (type == QtFatalMsg) {
    const std::string line = NoDisplayLine(qEnvironmentVariable("QT_QPA_PLATFORM").toStdString(),
                                           qEnvironmentVariable("DISPLAY").toStdString(),
                                           qEnvironmentVariable("WAYLAND_DISPLAY").toStdString());
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    std::_Exit(1);
  }
  // The window system's own complaints before the end say less than the line above.
  if (QByteArray(context.category).startsWith("qt.qpa.")) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

StartupMessages::StartupMessages() {
  qInstallMessageHandler(StartupMessageHandler);
}

ConsoleApplication::ConsoleApplication(int& argc, char** argv)
    : StartupMessages(), QApplication(argc, argv) {
  qInstallMessageHandler(nullptr);  // started: Qt's own handling from here on
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
