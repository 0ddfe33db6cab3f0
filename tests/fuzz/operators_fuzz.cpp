// The operators list from a settings file that anybody may have edited: the
// list stays sorted and unique, refused entries are never offered, and a save
// followed by a load gives the same list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/console_state.h"
#include "platform/profile_file.h"
#include "platform/text_case.h"
#include "settings/operators.h"
#include "settings/registration.h"

namespace {

using namespace orti;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is the Users section's body, so that most inputs hold operators.
  const std::string file = "[Users]\r\n" + std::string(reinterpret_cast<const char*>(data), size);
  ConsoleState state;
  OperatorTable table;
  LoadOperators(ProfileText(file), state, table);

  Check(table.Count() == static_cast<int>(state.session.operators.size()));
  for (size_t i = 1; i < state.session.operators.size(); ++i) {
    Check(CompareNoCase(state.session.operators[i - 1], state.session.operators[i]) < 0);
  }
  StringGrid users;
  FillRegistrationGrid(table, users);
  Check(users.RowCount() == table.ValidCount() + 2);
  for (int row = 1; row < users.RowCount() - 1; ++row) {
    for (int col = 0; col < 3; ++col) Check(NamePartIsValid(users.Cell(col, row)));
  }
  for (int row = 1; row < table.Grid().RowCount(); ++row) {
    for (int col = 0; col < 3; ++col) {
      for (char c : table.Grid().Cell(col, row)) Check(static_cast<unsigned char>(c) >= 0x20);
    }
  }

  ProfileText saved;
  WriteOperators(state, saved);
  ConsoleState again;
  OperatorTable againTable;
  LoadOperators(ProfileText(saved.Bytes()), again, againTable);
  Check(again.session.operators == state.session.operators);
  Check(againTable.ValidCount() == table.ValidCount());
  return 0;
}
