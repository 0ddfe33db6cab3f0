#pragma once
// The console's shared data beside the notepad: where its files are, the link
// to the instrument, who works with it and what the settings file chose.

#include <cstdint>
#include <string>
#include <vector>

namespace orti {

// The settings file stores these numbers.
enum class StartPage : int32_t { kByFolders = 1, kByDate = 2, kSettings = 3 };

// The serial link: where the instrument answers, how it is read, and the
// flags an exchange is stopped by.
struct LinkState {
  std::vector<std::string> availablePorts;  // decimal port numbers, ascending
  int32_t currentPort = 0;
  int32_t deviceAddress = 0;
  bool fastRead = false;  // reads end as soon as their reply is complete
  bool offline = false;   // no instrument was found: nothing is read or written
  bool timeout = false;   // set by the reply timer
  bool abort = false;     // set by "Прервать"
  // A reading or a synchronisation is between two exchanges: commands that
  // read or change the model wait until it ends.
  bool busy = false;
  std::string lastErrorText;  // of the last port or file error
};

// The run and its operator.
struct SessionState {
  double startTime = 0;
  bool debugMode = false;  // "/DEBUG": connect, but do not read the notepad
  // Registered operators, each "Surname_First_Patronymic", sorted without regard to case.
  std::vector<std::string> operators;
  int32_t registrationResult = 0;  // <0 cancelled, 0 new operator typed, >0 row chosen
  std::string surname;
  std::string firstName;
  std::string patronymic;
  std::string operatorFullName;
  std::string operatorShortName;
  // Backups saved in this run whose folders are not all written yet; the last
  // one holds the blocks of every folder whose writing failed.
  std::vector<std::string> unfinishedBackups;
};

// What the settings file holds, as loaded or last saved.
struct ConsoleSettings {
  StartPage startPage = StartPage::kByDate;
  bool startMaximised = false;
  int32_t connectionMode = 1;  // 1 autodetect, 2 fixed parameters (stored only)
  int32_t fixedPort = 0;
  std::string defaultNewFolderName;
  std::string newFolderName;
  std::string archiveServer;     // [Archive] Server=: the lab's archive server, if any
  bool settingsChanged = false;  // the settings page differs from the file
};

struct ConsoleState {
  std::string programFolder;  // with its trailing '/'
  std::string settingsPath;   // programFolder + "orti415.ini"
  std::string exportFolder;   // where the export dialog starts, with its trailing '/'
  LinkState link;
  SessionState session;
  ConsoleSettings settings;
  // The summary's rows that show the instrument: a reading keeps them and
  // rebuilds the rest.
  int32_t summaryRowCount = 0;
};

// Marks the console busy for as long as it lives.
class BusyGuard {
 public:
  explicit BusyGuard(ConsoleState& state) : state_(state) { state_.link.busy = true; }
  ~BusyGuard() { state_.link.busy = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  ConsoleState& state_;
};

}  // namespace orti
