#include "sim/record_encoding.h"

#include <cstring>

namespace orti::sim {

namespace {

void PutWord(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value & 0xFF);
  at[1] = static_cast<uint8_t>(value >> 8);
}

// The instrument stores IEEE 754 singles low byte first whatever the host is.
void PutFloat(uint8_t* at, float value) {
  uint32_t bits = 0;
  static_assert(sizeof bits == sizeof value);
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace

RecordBytes EncodeRecord(const Measurement& m) {
  RecordBytes b{};
  b[0] = m.mode;
  PutWord(&b[1], m.dayOfYear);
  PutWord(&b[3], m.timeUnits);
  PutFloat(&b[5], m.temperature);
  PutFloat(&b[9], m.emf);
  PutFloat(&b[13], m.ph);
  b[17] = m.extra1;
  b[18] = m.extra2;
  return b;
}

FolderHeaderBytes EncodeFolderHeader(std::string_view cp1251Name) {
  FolderHeaderBytes h{};
  h.fill(kErased);
  const std::string_view name = cp1251Name.substr(0, kFolderNameSize);
  std::memcpy(h.data(), name.data(), name.size());
  // The padding counts in the sum as the name does.
  uint16_t sum = kHeaderSumBase;
  for (uint32_t i = 0; i < kFolderNameSize; ++i) sum = static_cast<uint16_t>(sum + h[i]);
  PutWord(&h[kFolderNameSize], sum);
  return h;
}

}  // namespace orti::sim
