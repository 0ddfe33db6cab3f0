#include "workflow/startup_sequence.h"

#include <cctype>

#include "platform/utf8.h"

namespace orti {

bool IsDebugArgument(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  std::string first = arguments.front();
  for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return first == "/DEBUG";
}

void ComposeOperatorNames(ConsoleState& state) {
  state.operatorFullName = state.surname + " " + state.firstName + " " + state.patronymic;
  state.operatorShortName = state.surname + " " + FirstCharacter(state.firstName) + ". " +
                            FirstCharacter(state.patronymic) + ".";
}

StartupResult RunStartupSequence(ConsoleState& state, LogSink& log, StartupSteps& steps,
                                 const std::vector<std::string>& arguments,
                                 const std::string& programFolder, double now) {
  state.startTime = now;
  steps.ShowFirstPages();
  state.operators.clear();
  state.availablePorts.clear();
  state.programFolder = programFolder;
  state.settingsPath = programFolder + kSettingsFileName;
  state.defaultNewFolderName = kDefaultNewFolderName;
  state.newFolderName = state.defaultNewFolderName;

  steps.LoadSettings();
  if (state.operators.empty()) state.startPage = static_cast<int32_t>(StartPage::kSettings);
  steps.OpenStartPage(state.startPage);
  steps.PrepareViews();

  if (!state.operators.empty()) {
    steps.RunRegistration();
    if (state.registrationResult < 0) return StartupResult::kQuit;
    ComposeOperatorNames(state);
    if (state.registrationResult == 0) {
      steps.AddNewOperator();
      state.settingsChanged = 1;
      steps.OpenSettingsPage();
    }
  } else {
    // Nobody is registered yet: the exported lines carry three blanks.
    state.surname = state.firstName = state.patronymic = " ";
    state.operatorFullName = state.surname + state.firstName + state.patronymic;
    state.operatorShortName = state.surname;
    state.registrationResult = 0;
  }

  const ConnectOutcome outcome = steps.Connect();
  if (outcome == ConnectOutcome::kNoPorts) return StartupResult::kQuit;

  steps.ApplyWindowState(state.startMaximised == 1);
  steps.ApplyColumns();
  state.debugMode = IsDebugArgument(arguments);

  if (outcome == ConnectOutcome::kConnected) {
    if (!state.debugMode) {
      log.AddLogLine("");
      log.AddLogLine("Запрос папок прибора");
      steps.ReadNotepad();
    }
    steps.ProcessMessages();
  } else {
    steps.ConnectionFailed();
  }
  state.settingsChanged = 0;
  return StartupResult::kRun;
}

}  // namespace orti
