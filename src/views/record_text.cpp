#include "views/record_text.h"

#include <cstring>

#include "platform/date_time.h"
#include "views/number_text.h"

namespace orti {

std::string ModeText(uint8_t mode) {
  switch (mode) {
    case kModePh:
      return "pH";
    case kModePh25:
      return "pH25";
    case kModeMv:
      return "mV";
    default:
      return {};
  }
}

RecordTexts MakeRecordTexts(const NotepadFolder& folder, const NotepadRecord& record,
                            const std::string& decimalSeparator) {
  RecordTexts t;
  t.folderName = FolderNameUtf8(folder);
  t.mode = ModeText(record.mode);
  t.dateTime = FormatDateTime(record.dateTime);
  t.temperature = OneDecimalText(record.temperature, decimalSeparator);
  t.emf = OneDecimalText(record.emf, decimalSeparator);
  t.ph = ThreeDecimalsText(record.ph, decimalSeparator);
  t.ph25 = ThreeDecimalsText(record.ph25, decimalSeparator);
  return t;
}

}  // namespace orti
