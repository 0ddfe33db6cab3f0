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
  return MakeRecordTexts(
      FolderNameUtf8(folder),
      {record.mode, record.dateTime, record.temperature, record.emf, record.ph, record.ph25},
      decimalSeparator);
}

RecordTexts MakeRecordTexts(const std::string& folderName, const RecordValues& v,
                            const std::string& decimalSeparator) {
  RecordTexts t;
  t.folderName = folderName;
  t.mode = ModeText(v.mode);
  t.dateTime = FormatDateTime(v.dateTime);
  t.temperature = OneDecimalText(v.temperature, decimalSeparator);
  t.emf = OneDecimalText(v.emf, decimalSeparator);
  t.ph = ThreeDecimalsText(v.ph, decimalSeparator);
  t.ph25 = ThreeDecimalsText(v.ph25, decimalSeparator);
  return t;
}

}  // namespace orti
