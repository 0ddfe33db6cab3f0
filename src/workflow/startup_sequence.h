#pragma once
// From launch to the first view of the notepad: settings, registration, port
// search and connection, the first reading. The steps that belong to the
// windows or to other subsystems are called through StartupSteps, in order.

#include <string>
#include <vector>

#include "model/console_state.h"
#include "platform/log_sink.h"

namespace orti {

constexpr const char* kSettingsFileName = "orti415.ini";
constexpr const char* kDefaultNewFolderName = "Новая папка";

enum class ConnectOutcome { kConnected, kFailed, kNoPorts };
enum class StartupResult { kRun, kQuit };

class StartupSteps {
 public:
  virtual ~StartupSteps() = default;
  virtual void ShowFirstPages() = 0;  // page 0 of every page control
  virtual void LoadSettings() = 0;    // from the settings file
  virtual void OpenStartPage(StartPage startPage) = 0;
  virtual void PrepareViews() = 0;     // titles, hidden columns, check lists
  virtual void RunRegistration() = 0;  // fills the name parts and the result
  virtual void AddNewOperator() = 0;   // a new name typed at registration
  virtual void OpenSettingsPage() = 0;
  virtual ConnectOutcome Connect() = 0;  // port search and identification
  virtual void ApplyWindowState(bool maximised) = 0;
  virtual void ApplyColumns() = 0;
  virtual void ReadNotepad() = 0;
  virtual void ConnectionFailed() = 0;  // offline state and its message
  virtual void ProcessMessages() = 0;
};

// "/DEBUG" in any letter case as the first argument (the program name excluded).
bool IsDebugArgument(const std::vector<std::string>& arguments);

// Full and short name of the registered operator from the name parts.
void ComposeOperatorNames(ConsoleState& state);

StartupResult RunStartupSequence(ConsoleState& state, LogSink& log, StartupSteps& steps,
                                 const std::vector<std::string>& arguments,
                                 const std::string& programFolder, double now);

}  // namespace orti
