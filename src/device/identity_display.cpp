#include "device/identity_display.h"

#include <string>

#include "platform/cp1251.h"

namespace orti {

void ShowIdentity(const DeviceIdentity& identity, StringGrid& totalData, ConsoleState& state) {
  const std::pair<const char*, std::string> rows[] = {
      {"Наименование прибора", Cp1251ToUtf8(identity.name)},
      {"Версия ПО", Cp1251ToUtf8(identity.version)},
      {"Блок адресов 1", std::to_string(identity.block[0])},
      {"Блок адресов 2", std::to_string(identity.block[1])},
      {"Блок адресов 3", std::to_string(identity.block[2])},
      {"Блок адресов 4", std::to_string(identity.block[3])},
      {"Адрес блокнота", std::to_string(identity.notepadAddress)},
  };
  totalData.SetRowCount(2);
  for (const auto& [label, value] : rows) {
    const int last = totalData.RowCount() - 1;
    totalData.SetCell(0, last, label);
    totalData.SetCell(1, last, value);
    totalData.SetRowCount(last + 2);
  }
  state.summaryRowCount = totalData.RowCount();
}

}  // namespace orti
