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
  state.session.operatorFullName =
      state.session.surname + " " + state.session.firstName + " " + state.session.patronymic;
  state.session.operatorShortName = state.session.surname + " " +
                                    FirstCharacter(state.session.firstName) + ". " +
                                    FirstCharacter(state.session.patronymic) + ".";
}

StartupResult RunStartupSequence(ConsoleState& state, LogSink& log, StartupSteps& steps,
                                 const std::vector<std::string>& arguments,
                                 const std::string& programFolder, double now) {
  state.session.startTime = now;
  steps.ShowFirstPages();
  state.session.operators.clear();
  state.link.availablePorts.clear();
  state.programFolder = programFolder;
  state.settingsPath = programFolder + kSettingsFileName;
  state.settings.defaultNewFolderName = kDefaultNewFolderName;
  state.settings.newFolderName = state.settings.defaultNewFolderName;

  steps.LoadSettings();
  if (state.session.operators.empty()) state.settings.startPage = StartPage::kSettings;
  steps.OpenStartPage(state.settings.startPage);
  steps.PrepareViews();

  if (!state.session.operators.empty()) {
    steps.RunRegistration();
    if (state.session.registrationResult < 0) return StartupResult::kQuit;
    ComposeOperatorNames(state);
    if (state.session.registrationResult == 0) {
      steps.AddNewOperator();
      state.settings.settingsChanged = true;
      steps.OpenSettingsPage();
    }
  } else {
    // Nobody is registered yet: the exported lines carry three blanks.
    state.session.surname = state.session.firstName = state.session.patronymic = " ";
    state.session.operatorFullName =
        state.session.surname + state.session.firstName + state.session.patronymic;
    state.session.operatorShortName = state.session.surname;
    state.session.registrationResult = 0;
  }

  const ConnectOutcome outcome = steps.Connect();
  if (outcome == ConnectOutcome::kNoPorts) return StartupResult::kQuit;

  steps.ApplyWindowState(state.settings.startMaximised);
  steps.ApplyColumns();
  state.session.debugMode = IsDebugArgument(arguments);

  if (outcome == ConnectOutcome::kConnected) {
    if (!state.session.debugMode) {
      log.AddLogLine("");
      log.AddLogLine("Запрос папок прибора");
      steps.ReadNotepad();
    }
    steps.ProcessMessages();
  } else {
    steps.ConnectionFailed();
  }
  state.settings.settingsChanged = false;
  return StartupResult::kRun;
}

}  // namespace orti
