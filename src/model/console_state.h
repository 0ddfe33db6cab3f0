#pragma once
// The console's shared data beside the notepad: where its files are, who works
// with it, what was loaded from the settings and the flags of the run.

#include <cstdint>
#include <string>
#include <vector>

namespace orti {

enum class StartPage : int32_t { kByFolders = 1, kByDate = 2, kSettings = 3 };

struct ConsoleState {
  std::string programFolder;  // with its trailing '/'
  std::string settingsPath;   // programFolder + "orti415.ini"
  std::string lastErrorText;  // of the last port or file error
  double startTime = 0;
  std::string defaultNewFolderName;
  std::string newFolderName;
  // Registered operators, each "Surname_First_Patronymic", sorted without regard to case.
  std::vector<std::string> operators;
  std::string operatorFullName;
  std::string operatorShortName;
  std::vector<std::string> availablePorts;  // decimal port numbers, ascending
  bool debugMode = false;
  int32_t startPage = static_cast<int32_t>(StartPage::kByDate);
  int32_t connectionMode = 1;  // 1 autodetect, 2 fixed parameters (stored only)
  int32_t fixedPort = 0;
  bool fastRead = false;  // reads end as soon as their reply is complete
  int32_t startMaximised = 0;
  int32_t deviceAddress = 0;
  int32_t offline = 0;
  uint8_t settingsChanged = 0;
  uint8_t timeout = 0;
  int32_t currentPort = 0;
  int32_t summaryRowCount = 0;
  int16_t savedCursor = 0;
  std::string surname;
  std::string patronymic;
  std::string firstName;
  int32_t registrationResult = 0;  // <0 cancelled, 0 new operator typed, >0 row chosen
  uint8_t abort = 0;
  // A reading or a synchronisation is between two exchanges: commands that
  // read or change the model wait until it ends.
  bool busy = false;
  // Backups saved in this run whose folders are not all written yet; the last
  // one holds the blocks of every folder whose writing failed.
  std::vector<std::string> unfinishedBackups;
};

// Marks the console busy for as long as it lives.
class BusyGuard {
 public:
  explicit BusyGuard(ConsoleState& state) : state_(state) { state_.busy = true; }
  ~BusyGuard() { state_.busy = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  ConsoleState& state_;
};

}  // namespace orti
