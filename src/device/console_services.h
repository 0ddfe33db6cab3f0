#pragma once
// What the console's commands work with: the notepad, the shared state, the
// summary grid, the link to the instrument, the work log and the message
// boxes. The main window and the command line build it; each command's own
// context adds only what is its own.

#include "device/exchanger.h"
#include "model/console_state.h"
#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"

namespace orti {

struct ConsoleServices {
  NotepadModel& model;
  ConsoleState& state;
  StringGrid& totalData;  // the summary: the instrument's identity, then the folders
  Exchanger& link;
  LogSink& log;
  Dialogs& dialogs;
};

}  // namespace orti
