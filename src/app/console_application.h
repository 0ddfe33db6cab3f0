#pragma once
// The application object: an exception that reaches the message loop is shown
// in a message box instead of ending the program.

#include <QApplication>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace orti {

// Constructed before QApplication: while it starts, a window system that
// cannot start (no display) ends the program with NoDisplayLine and status 1
// instead of Qt's abort.
struct StartupMessages {
  StartupMessages();
};

class ConsoleApplication final : private StartupMessages, public QApplication {
 public:
  ConsoleApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The desktop entry's name without ".desktop"; also the icon's name in the theme.
constexpr const char* kDesktopFileName = "org.example.orti415";

// What the console prints for "--help"/"-h" or "--version" as its first
// argument, before any window exists; nothing for any other command line.
std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& arguments);

// The one line on standard error when no window can be opened: the display
// that is missing or unreachable, from QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY.
std::string NoDisplayLine(const std::string& platform, const std::string& display,
                          const std::string& waylandDisplay);

// Qt's own texts (standard dialogs, context menus) in Russian whatever the
// locale; false when qtbase_ru is not installed.
bool InstallQtTranslations(QApplication& app, const QString& folder = QString());

// The window icon (built in), the desktop entry and the application name.
void SetApplicationIdentity(QApplication& app);

}  // namespace orti
