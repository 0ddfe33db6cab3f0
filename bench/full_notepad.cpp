#include "full_notepad.h"

#include <cstring>
#include <random>
#include <string>

#include "device/frame_codec.h"
#include "device/record_decoder.h"
#include "model/string_grid.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "sim/record_encoding.h"
#include "workflow/notepad_summary.h"

namespace orti::bench {

namespace {

class NoDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string&, const std::string&, DialogIcon, DialogButtons) override {
    return DialogAnswer::kNo;
  }
  void ShowMessage(const std::string&) override {}
};

void SetName(NotepadFolder& folder, const std::string& cp1251) {
  std::memset(folder.name, 0, sizeof folder.name);
  std::memcpy(folder.name, cp1251.data(), std::min(cp1251.size(), sizeof folder.name - 1));
}

}  // namespace

std::string SlotChars(const sim::RecordBytes& bytes) {
  std::string chars;
  for (uint8_t b : bytes) {
    uint8_t high = 0, low = 0;
    SplitByte(b, high, low);
    chars += NibbleToHexDigit(high);
    chars += NibbleToHexDigit(low);
  }
  return chars;
}

std::unique_ptr<NotepadModel> MakeFullNotepad() {
  auto model = std::make_unique<NotepadModel>();
  model->folderCount = kMaxFolders;
  model->baseDate = EncodeDate(2026, 1, 1);
  std::mt19937 draw(415);
  NoDialogs dialogs;
  for (int f = 0; f < kMaxFolders; ++f) {
    NotepadFolder& folder = model->folders[f];
    for (auto& record : folder.records) record.mode = kModeEmpty;
    if (f >= kFullFolders) {
      SetName(folder, Utf8ToCp1251(kFreeFolderName));
      folder.state = FolderState::kFree;
      continue;
    }
    SetName(folder, Utf8ToCp1251("ПРОБА " + std::to_string(f + 1)));
    folder.state = FolderState::kAsRead;
    for (int s = 0; s < kShownSlots; ++s) {
      sim::Measurement m;
      m.mode = static_cast<uint8_t>(kModePh + draw() % 3);
      m.dayOfYear = static_cast<uint16_t>(1 + draw() % 340);
      m.timeUnits = static_cast<uint16_t>(draw() % 43200);
      m.temperature = 15.0f + static_cast<float>(draw() % 200) / 10.0f;
      m.ph = 2.0f + static_cast<float>(draw() % 10000) / 1000.0f;
      m.emf = (7.0f - m.ph) * 59.16f;
      DecodeRecord(*model, f, s, SlotChars(sim::EncodeRecord(m)), model->baseDate, dialogs);
    }
  }
  StringGrid totalData{2, 1, 1};
  AppendSummaryAndIndex(*model, totalData);
  return model;
}

}  // namespace orti::bench
