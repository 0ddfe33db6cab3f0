#pragma once
// The texts a view shows for one record.

#include <string>

#include "model/notepad_model.h"

namespace orti {

// "pH", "pH25", "mV"; empty for any other mode.
std::string ModeText(uint8_t mode);

struct RecordTexts {
  std::string folderName;
  std::string mode;
  std::string dateTime;  // "dd.mm.yyyy hh:nn:ss"
  std::string temperature;
  std::string emf;
  std::string ph;
  std::string ph25;
};

RecordTexts MakeRecordTexts(const NotepadFolder& folder, const NotepadRecord& record,
                            const std::string& decimalSeparator);

// The same texts for a measurement kept outside the notepad (the archive).
struct RecordValues {
  uint8_t mode = 0;
  double dateTime = 0, temperature = 0, emf = 0, ph = 0, ph25 = 0;
};
RecordTexts MakeRecordTexts(const std::string& folderName, const RecordValues& values,
                            const std::string& decimalSeparator);

}  // namespace orti
