// A whole reading of the notepad (identification, every folder, the summary)
// over a line that delivers what the input says: the instrument's reply, or
// nothing, or it cut, altered in one character, preceded by noise, joined to a
// stale reply, with data missing or an echoed field changed under a right LRC,
// in pieces of any size. Whatever arrives, the reading ends without a crash
// and every byte it keeps is the instrument's own, from the reply to its own
// request; a folder it calls read in full holds exactly the instrument's block.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_link.h"
#include "device/identify.h"
#include "device/link_hooks.h"
#include "device/memory_map.h"
#include "device/notepad_reader.h"
#include "fuzz_support.h"
#include "model/string_grid.h"
#include "platform/date_time.h"
#include "workflow/notepad_summary.h"

namespace {

using namespace orti;
using namespace orti::fuzz;

constexpr int kFolders = 4;
constexpr int kNotepad = kNotepadEnd - kFolders * kFolderBlockSize;
constexpr size_t kIdentifyBytes = 23;  // without the LRC

class NoProgress final : public ReadProgress {
 public:
  void Start(int) override {}
  void FolderHeaderRead() override {}
  void FolderFree() override {}
  void SlotDecoded() override {}
};

// The instrument's memory: folder 0 named, folder 1 free, folder 2 full up to
// slot 25, folder 3 named with a few records.
std::array<uint8_t, 65536> MakeMemory() {
  std::array<uint8_t, 65536> memory;
  memory.fill(0xFF);
  uint32_t x = 12345;
  auto next = [&x] { return static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 16); };
  const char* names[kFolders] = {"Sample A", nullptr, "Full", "Last"};
  const int used[kFolders] = {5, 0, 26, 2};
  for (int f = 0; f < kFolders; ++f) {
    uint8_t* block = memory.data() + kNotepad + f * kFolderBlockSize;
    if (!names[f]) continue;
    std::memcpy(block, names[f], std::strlen(names[f]));
    for (int s = 0; s < used[f]; ++s) {
      uint8_t* slot = block + kFolderHeaderSize + s * kRecordSize;
      for (int i = 0; i < kRecordSize; ++i) slot[i] = next();
      slot[0] = static_cast<uint8_t>(1 + s % 3);
    }
  }
  return memory;
}

// The line's own frame writer, kept apart from the console's.
std::string Frame(std::vector<uint8_t> bytes, int lrcError = 0) {
  uint8_t sum = 0;
  for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
  bytes.push_back(static_cast<uint8_t>(-sum + lrcError));
  static const char* digits = "0123456789ABCDEF";
  std::string text = ":";
  for (uint8_t b : bytes) {
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text + "\r\n";
}

uint8_t Hex(char c) {
  return static_cast<uint8_t>(c <= '9' ? c - '0' : c - 'A' + 10);
}

// Plays the instrument, reshaping each reply as the input says.
class FuzzLine final : public SerialPort {
 public:
  FuzzLine(const uint8_t* data, size_t size, const std::array<uint8_t, 65536>& memory)
      : in_(data), left_(size), memory_(memory) {}

  bool Open(int) override { return true; }
  bool Configure() override { return true; }
  void ClearModemLines() override {}
  void Purge() override {
    // Only what has arrived is dropped; a late reply may still come.
    pending_.erase(0, std::min(pending_.size(), static_cast<size_t>(Take() % 8)));
  }
  bool Write(const char* request, size_t size) override {
    const std::string truth = Answer(std::string_view(request, size));
    std::string sent;
    std::vector<uint8_t> bytes = bytes_;
    switch (Take() % 10) {
      case 0:
        sent = truth;
        break;
      case 1:
        break;  // nothing comes back
      case 2:
        sent = truth;
        if (!sent.empty()) {
          const uint8_t c = Take();
          // Mostly another digit, which only the LRC can tell.
          sent[Take() % sent.size()] = c < 128 ? "0123456789ABCDEF"[c % 16] : static_cast<char>(c);
        }
        break;
      case 3:
        sent = truth.substr(0, Take() % (truth.size() + 1));
        break;
      case 4:
        for (int n = Take() % 16; n > 0; --n) sent += static_cast<char>(Take());
        sent += truth;
        break;
      case 5:
        sent = stale_ + truth;
        break;
      case 6:
        sent = truth + stale_;
        break;
      case 7:  // data short or long, the LRC right for what is sent
        if (bytes.size() > 5 && Take() % 2) {
          bytes.pop_back();
        } else {
          bytes.push_back(Take());
        }
        sent = Frame(bytes);
        break;
      case 8:  // an echoed field changed, the LRC right (changed data would pass: no check sees it)
        if (!bytes.empty()) {
          const size_t echoed = bytes.size() == kIdentifyBytes ? 2 : 5;
          bytes[Take() % std::min(echoed, bytes.size())] ^= static_cast<uint8_t>(1 + Take() % 255);
        }
        sent = Frame(bytes);
        break;
      case 9:
        sent = stale_;  // only the late reply to the request before
        break;
    }
    pending_ += sent;
    stale_ = truth;
    return true;
  }
  bool Read(char* buffer, size_t capacity, size_t& received) override {
    const size_t want = left_ == 0 ? capacity : 1 + Take() * 3u;
    received = std::min({want, capacity, pending_.size()});
    std::memcpy(buffer, pending_.data(), received);
    pending_.erase(0, received);
    return true;
  }
  void Close() override {}
  int LastError() const override { return 0; }
  void ClearLastError() override {}

 private:
  // A byte of the input; once it is used up the line behaves.
  uint8_t Take() {
    if (left_ == 0) return 0;
    --left_;
    return *in_++;
  }

  std::string Answer(std::string_view request) {
    std::vector<uint8_t> req;
    for (size_t i = 1; i + 4 < request.size(); i += 2) {  // without the LRC
      req.push_back(static_cast<uint8_t>(16 * Hex(request[i]) + Hex(request[i + 1])));
    }
    bytes_.clear();
    if (req.size() == 2 && req[1] == 0x0F) {
      bytes_ = {1, 0x0F, 1, 0};
      for (char c : std::string("\xCE\xD0\xD2\xC8-415")) bytes_.push_back(static_cast<uint8_t>(c));
      bytes_.push_back('3');
      for (int b = 0; b < 4; ++b) bytes_.insert(bytes_.end(), {0, 0});
      bytes_.insert(bytes_.end(),
                    {static_cast<uint8_t>(kNotepad >> 8), static_cast<uint8_t>(kNotepad & 0xFF)});
    } else if (req.size() == 5 && req[1] == 0x02) {
      bytes_ = {1, 2, req[2], req[3], req[4]};
      const size_t at = 256u * req[2] + req[3];
      for (size_t i = 0; i < req[4]; ++i) bytes_.push_back(memory_[(at + i) & 0xFFFF]);
    } else {
      return {};
    }
    return Frame(bytes_);
  }

  const uint8_t* in_;
  size_t left_;
  const std::array<uint8_t, 65536>& memory_;
  std::vector<uint8_t> bytes_;  // of the last true reply, without its LRC
  std::string pending_;
  std::string stale_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::array<uint8_t, 65536> memory = MakeMemory();
  VirtualClock clock;
  ConsoleState state;
  state.link.currentPort = 1;
  NullLog log;
  ClockLinkHooks hooks(clock, state);
  FuzzLine line(data, size, memory);
  DeviceLink link(line, state, log, clock, hooks);
  state.link.fastRead = size > 0 && data[0] & 1;

  auto model = std::make_unique<NotepadModel>();
  if (!Identify(link, state, model->identity, log)) return 0;
  Check(model->identity.notepadAddress == kNotepad);
  QuietDialogs dialogs;
  NoProgress progress;
  ReadNotepad(link, *model, EncodeDate(2026, 12, 8), log, progress, dialogs);
  StringGrid totalData{2, 1, 1};
  AppendSummaryAndIndex(*model, totalData);

  Check(model->folderCount == kFolders);
  for (int f = 0; f < kFolders; ++f) {
    const NotepadFolder& folder = model->folders[f];
    const uint8_t* block = memory.data() + kNotepad + f * kFolderBlockSize;
    const bool free = block[0] == 0xFF;
    if (folder.name[0] != '\0') {
      // A name is only ever the instrument's own, or the free slot's.
      std::string truth;
      for (int i = 0; i < kFolderNameChars && block[i] != 0xFF && block[i] != 0; ++i) {
        truth += static_cast<char>(block[i]);
      }
      Check(free ? folder.state == FolderState::kFree : std::string(folder.name) == truth);
    }
    for (int k = 0; k <= kChunkCount; ++k) {
      const size_t bytes = k < kChunkCount ? kChunkSize : kRecordSize;
      const uint8_t* truth = block + kFolderHeaderSize + k * kChunkSize;
      const bool same = std::memcmp(folder.slotImage[k], truth, bytes) == 0;
      const bool untouched = std::all_of(folder.slotImage[k], folder.slotImage[k] + bytes,
                                         [](uint8_t b) { return b == 0; });
      Check(same || untouched);
      if (folder.readInFull && !free) Check(same);
    }
  }
  Check(!hooks.TimerRunning());
  return 0;
}
