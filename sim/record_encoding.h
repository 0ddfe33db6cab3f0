#pragma once
// The instrument's side of the notepad bytes: a measurement becomes a 19-byte
// record slot, a folder name an 18-byte header with its sum.

#include <array>
#include <cstdint>
#include <string_view>

#include "sim/notepad_layout.h"

namespace orti::sim {

constexpr uint8_t kModeDeleted = 0x00;
constexpr uint8_t kModePh = 1;
constexpr uint8_t kModePh25 = 2;
constexpr uint8_t kModeMv = 3;

struct Measurement {
  uint8_t mode = kModePh;  // the whole mode byte as stored
  uint16_t dayOfYear = 1;  // 1 = 1 January
  uint16_t timeUnits = 0;  // 2-second units since midnight
  float temperature = 25.0f;
  float emf = 0.0f;
  float ph = 7.0f;
  uint8_t extra1 = 0xFF;
  uint8_t extra2 = 0xFF;
};

using RecordBytes = std::array<uint8_t, kRecordSize>;
using FolderHeaderBytes = std::array<uint8_t, kFolderHeaderSize>;

RecordBytes EncodeRecord(const Measurement& m);

// `cp1251Name` is cut to 16 bytes; the rest of the field is 0xFF.
FolderHeaderBytes EncodeFolderHeader(std::string_view cp1251Name);

}  // namespace orti::sim
