#include "archive/change_rows.h"

#include "platform/date_time.h"

namespace orti {

std::vector<std::string> ChangeRowTexts(const InstrumentChange& c) {
  return {FormatDateTime(c.at),
          c.operatorName,
          c.workstation,
          c.instrument,
          c.folderIndex < 0 ? std::string() : std::to_string(c.folderIndex),
          c.folderName,
          ChangeKindText(c.kind),
          c.detail,
          std::to_string(c.records.size()),
          c.backup,
          ChangeOutcomeText(c.outcome)};
}

}  // namespace orti
