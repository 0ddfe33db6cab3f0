#pragma once
// Finding the instrument once per run: list the serial ports that can be
// used, then ask each in turn for the instrument's identity.

#include <functional>

#include "device/console_services.h"
#include "workflow/startup_sequence.h"

namespace orti {

constexpr int kHighestPort = 63;

// The connection window, shown while the ports are asked.
class ConnectionWindow {
 public:
  virtual ~ConnectionWindow() = default;
  virtual void Open() = 0;
  virtual void Close() = 0;
};

// What the offline state changes in the windows.
class OfflineView {
 public:
  virtual ~OfflineView() = default;
  // Execute, save and print buttons and every popup item disabled; both views
  // emptied to one blank row.
  virtual void DisableDataCommands() = 0;
};

struct ConnectionContext : ConsoleServices {
  ConnectionWindow& window;
  std::function<bool(int port)> isPortAvailable;
};

// Start-up's port search: kNoPorts after telling the operator that no port is
// free, kConnected with the current port set and the identity shown, or kFailed.
ConnectOutcome SearchInstrument(ConnectionContext& context);

// The console stays open without data and tells the operator why that may be.
void GoOffline(ConsoleState& state, NotepadModel& model, OfflineView& view, Dialogs& dialogs);

}  // namespace orti
