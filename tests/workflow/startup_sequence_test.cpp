#include "workflow/startup_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace orti {
namespace {

using Calls = std::vector<std::string>;

class FakeLog final : public LogSink {
 public:
  Calls* calls;
  void AddLogLine(const std::string& text) override { calls->push_back("log:" + text); }
};

class RecordingSteps final : public StartupSteps {
 public:
  ConsoleState& state;
  Calls calls;
  std::vector<std::string> operatorsInFile;
  int registrationResult = 1;
  ConnectOutcome outcome = ConnectOutcome::kConnected;

  explicit RecordingSteps(ConsoleState& s) : state(s) {}
  void ShowFirstPages() override { calls.push_back("first pages"); }
  void LoadSettings() override {
    calls.push_back("load settings");
    state.session.operators = operatorsInFile;
  }
  void OpenStartPage(StartPage page) override {
    calls.push_back("start page " + std::to_string(static_cast<int>(page)));
  }
  void PrepareViews() override { calls.push_back("prepare views"); }
  void RunRegistration() override {
    calls.push_back("registration");
    state.session.surname = "Иванов";
    state.session.firstName = "Пётр";
    state.session.patronymic = "Сергеевич";
    state.session.registrationResult = registrationResult;
  }
  void AddNewOperator() override { calls.push_back("add operator"); }
  void OpenSettingsPage() override {
    calls.push_back("settings page, flag " + std::to_string(state.settings.settingsChanged));
  }
  ConnectOutcome Connect() override {
    calls.push_back("connect");
    return outcome;
  }
  void ApplyWindowState(bool maximised) override {
    calls.push_back(maximised ? "maximised" : "normal");
  }
  void ApplyColumns() override { calls.push_back("columns"); }
  void ReadNotepad() override { calls.push_back("read"); }
  void ConnectionFailed() override { calls.push_back("offline"); }
  void ProcessMessages() override { calls.push_back("pump"); }
};

struct Startup {
  ConsoleState state;
  RecordingSteps steps{state};
  FakeLog log;
  StartupResult result{};
  Calls operator()(std::vector<std::string> args = {}) {
    log.calls = &steps.calls;
    result = RunStartupSequence(state, log, steps, args, "/home/lab/", 46000.5);
    return steps.calls;
  }
};

TEST(StartupSequence, RegisteredOperatorConnectsAndReads) {
  Startup run;
  run.steps.operatorsInFile = {"Иванов_Пётр_Сергеевич"};
  run.state.settings.startMaximised = true;
  EXPECT_EQ(run(), (Calls{"first pages", "load settings", "start page 2", "prepare views",
                          "registration", "connect", "maximised", "columns",
                          "log:", "log:Запрос папок прибора", "read", "pump"}));
  EXPECT_EQ(run.result, StartupResult::kRun);
  EXPECT_EQ(run.state.settingsPath, "/home/lab/orti415.ini");
  EXPECT_EQ(run.state.settings.newFolderName, "Новая папка");
  EXPECT_EQ(run.state.session.startTime, 46000.5);
  EXPECT_EQ(run.state.session.operatorFullName, "Иванов Пётр Сергеевич");
  EXPECT_EQ(run.state.session.operatorShortName, "Иванов П. С.");
  EXPECT_FALSE(run.state.settings.settingsChanged);
}

TEST(StartupSequence, NoOperatorsOpensSettingsAndUsesBlankNames) {
  Startup run;
  run.state.settings.startPage = StartPage::kByFolders;
  Calls calls = run();
  EXPECT_EQ(calls[2], "start page 3");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "registration"), 0);
  EXPECT_EQ(run.state.session.operatorFullName, "   ");
  EXPECT_EQ(run.state.session.operatorShortName, " ");
  EXPECT_EQ(run.state.session.registrationResult, 0);
}

TEST(StartupSequence, CancelledRegistrationEndsBeforeConnecting) {
  Startup run;
  run.steps.operatorsInFile = {"A_B_C"};
  run.steps.registrationResult = -1;
  Calls calls = run();
  EXPECT_EQ(run.result, StartupResult::kQuit);
  EXPECT_EQ(calls.back(), "registration");
}

TEST(StartupSequence, NewOperatorOpensSettingsWithFlagThatEndsCleared) {
  Startup run;
  run.steps.operatorsInFile = {"A_B_C"};
  run.steps.registrationResult = 0;
  Calls calls = run();
  auto at = std::find(calls.begin(), calls.end(), "registration");
  ASSERT_NE(at, calls.end());
  EXPECT_EQ(*(at + 1), "add operator");
  EXPECT_EQ(*(at + 2), "settings page, flag 1");
  EXPECT_FALSE(run.state.settings.settingsChanged);
}

TEST(StartupSequence, DebugSkipsOnlyTheReading) {
  Startup run;
  run.steps.operatorsInFile = {"A_B_C"};
  Calls calls = run({"/debug"});
  EXPECT_TRUE(run.state.session.debugMode);
  EXPECT_EQ(calls.back(), "pump");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "read"), 0);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "log:Запрос папок прибора"), 0);
}

TEST(StartupSequence, FailedConnectionGoesOfflineAndNoPortsEndsTheProgram) {
  Startup failed;
  failed.steps.outcome = ConnectOutcome::kFailed;
  EXPECT_EQ(failed().back(), "offline");
  EXPECT_EQ(failed.result, StartupResult::kRun);

  Startup none;
  none.steps.outcome = ConnectOutcome::kNoPorts;
  EXPECT_EQ(none().back(), "connect");
  EXPECT_EQ(none.result, StartupResult::kQuit);
}

TEST(StartupSequence, OnlyTheFirstArgumentIsExamined) {
  EXPECT_TRUE(IsDebugArgument({"/DEBUG"}));
  EXPECT_TRUE(IsDebugArgument({"/Debug", "x"}));
  EXPECT_FALSE(IsDebugArgument({"x", "/DEBUG"}));
  EXPECT_FALSE(IsDebugArgument({}));
  EXPECT_FALSE(IsDebugArgument({"/DEBUGX"}));
  EXPECT_FALSE(IsDebugArgument({"DEBUG"}));
}

}  // namespace
}  // namespace orti
