#include "workflow/connection.h"

#include <string>

#include "device/identify.h"
#include "device/identity_display.h"
#include "platform/date_time.h"

namespace orti {

ConnectOutcome SearchInstrument(ConnectionContext& c) {
  c.state.link.availablePorts.clear();
  for (int n = 1; n <= kHighestPort; ++n) {
    if (!c.isPortAvailable(n)) continue;
    c.log.AddLogLine("Порт COM" + std::to_string(n) + " доступен");
    c.state.link.availablePorts.push_back(std::to_string(n));
  }
  if (c.state.link.availablePorts.empty()) {
    c.dialogs.ShowMessage("Доступных портов не найдено");
    return ConnectOutcome::kNoPorts;
  }

  c.window.Open();
  c.state.link.abort = false;
  c.state.link.deviceAddress = 1;
  c.log.AddLogLine(FormatDateTime(c.state.session.startTime, "  ") + " - начало работы ");
  c.log.AddLogLine("Попытка подключения с использованием перебора");

  bool connected = false;
  for (const std::string& port : c.state.link.availablePorts) {
    c.state.link.currentPort = std::stoi(port);
    if (Identify(c.link, c.state, c.model.identity, c.log)) {
      ShowIdentity(c.model.identity, c.totalData, c.state);
      connected = true;
      break;
    }
  }
  c.state.link.abort = false;
  c.window.Close();
  return connected ? ConnectOutcome::kConnected : ConnectOutcome::kFailed;
}

void GoOffline(ConsoleState& state, NotepadModel& model, OfflineView& view, Dialogs& dialogs) {
  state.link.offline = true;
  view.DisableDataCommands();
  // Every folder of the table: nothing can be written while offline.
  for (NotepadFolder& folder : model.folders) folder.pending = 0;
  dialogs.Ask(
      "Не удалось подключиться к pH-метру.\n"
      "Возможные причины:\n"
      "- прибор не включен\n"
      "- прибор не подсоединен кабелем\n"
      "- прибор находится в режиме просмотра/редактирования\n"
      "- прибор и/или порт неисправен",
      "Ошибка при подключении", DialogIcon::kWarning, DialogButtons::kOk);
}

}  // namespace orti
