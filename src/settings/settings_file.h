#pragma once
// "orti415.ini": start page, start style, connection choice, the default name
// of new folders and the operators. Read once at start-up, written by the
// settings page's save.

#include <string>

#include "model/console_state.h"
#include "platform/atomic_file.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"
#include "platform/profile_file.h"
#include "settings/operators.h"

namespace orti {

// What the settings page shows when the operator saves.
struct SettingsPageValues {
  StartPage startPage = StartPage::kByDate;
  bool fixedConnection = false;
  std::string port;    // as typed
  std::string device;  // as typed
  bool startMaximised = false;
  bool fastRead = false;
  std::string newFolderName;  // with its spaces
};

// Fills the in-memory settings and the operators. Returns false when there is
// no settings file: only the start page is then set, and the page's folder
// name stays empty. A file that cannot be read (no regular file, larger than
// kMaxSettingsFileBytes) reads as empty and is named by one line of `log`.
// A refused operator entry is named by one line of `log`, when given.
bool LoadSettings(ConsoleState& state, OperatorTable& operators, LogSink* log = nullptr);

// [Archive] Server= of the file, for the command line, which loads no other
// setting before its command needs them; empty when missing or unreadable.
std::string ReadArchiveServerSetting(const std::string& settingsPath);

// Every key of a save written into the file's text in order (the operators
// first), every other byte kept.
void WriteSettings(const ConsoleState& state, const SettingsPageValues& values, ProfileText& file);

// Builds the whole new file in memory and replaces the file once
// (ReplaceFile), so a failure or a crash leaves the old file or the new one.
// Says "Настройки сохранены", clears the settings-changed flag and returns
// true when it went in; otherwise reports the path and the system's reason
// (or refuses a new-folder name longer than a folder's), sets the flag and
// returns false.
bool SaveSettings(ConsoleState& state, const SettingsPageValues& values, Dialogs& dialogs,
                  ReplaceSeam* seam = nullptr);

// "Настройки были изменены …": true when the operator answers Yes.
bool AskSaveSettings(Dialogs& dialogs);

}  // namespace orti
