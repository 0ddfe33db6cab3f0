#pragma once
// "orti415.ini": start page, start style, connection choice, the default name
// of new folders and the operators. Read once at start-up, written by the
// settings page's save.

#include <string>

#include "model/console_state.h"
#include "platform/dialogs.h"
#include "settings/operators.h"

namespace orti {

// What the settings page shows when the operator saves.
struct SettingsPageValues {
  int startPage = 2;  // 1 by folders, 2 by date, 3 settings page
  bool fixedConnection = false;
  std::string port;    // as typed
  std::string device;  // as typed
  bool startMaximised = false;
  std::string newFolderName;  // with its spaces
};

// Fills the in-memory settings and the operators. Returns false when there is
// no settings file: only the start page is then set, and the page's folder
// name stays empty.
bool LoadSettings(ConsoleState& state, OperatorTable& operators);

// Writes every key in order; the first write that fails is reported and ends
// the save (the keys before it stay written). Says "Настройки сохранены" and
// returns true when all went in.
bool SaveSettings(ConsoleState& state, const SettingsPageValues& values, Dialogs& dialogs);

// "Настройки были изменены …": true when the operator answers Yes.
bool AskSaveSettings(Dialogs& dialogs);

}  // namespace orti
