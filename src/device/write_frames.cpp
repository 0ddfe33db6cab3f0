#include "device/write_frames.h"

#include <cstring>

#include "device/frame_codec.h"

namespace orti {

SlotImage FolderSlotImage(const NotepadFolder& folder) {
  SlotImage image{};
  for (int k = 0; k < kChunkCount; ++k) {
    std::memcpy(image.data() + k * kChunkSize, folder.slotImage[k], kChunkSize);
  }
  std::memcpy(image.data() + kChunkCount * kChunkSize, folder.slotImage[kChunkCount], kRecordSize);
  return image;
}

std::string BuildEraseFrame(const NotepadModel& model, int folder) {
  return BuildWriteRequest(kDefaultDeviceAddress, FolderBase(model.identity.notepadAddress, folder),
                           nullptr, 0);
}

std::array<uint8_t, kFolderHeaderSize> FolderHeaderBytes(const char* cp1251Name) {
  std::array<uint8_t, kFolderHeaderSize> header{};
  std::memset(header.data(), 0xFF, kFolderNameChars);
  const size_t length = strnlen(cp1251Name, kFolderNameChars);
  std::memcpy(header.data(), cp1251Name, length);
  uint16_t sum = 17;
  for (int i = 0; i < kFolderNameChars; ++i) sum = static_cast<uint16_t>(sum + header[i]);
  header[16] = static_cast<uint8_t>(sum & 0xFF);
  header[17] = static_cast<uint8_t>(sum >> 8);
  return header;
}

std::string BuildHeaderFrame(const NotepadModel& model, int folder) {
  const auto header = FolderHeaderBytes(model.folders[folder].name);
  return BuildWriteRequest(kDefaultDeviceAddress, FolderBase(model.identity.notepadAddress, folder),
                           header.data(), kFolderHeaderSize);
}

std::array<std::string, kSlotsPerFolder> BuildRecordFrames(const NotepadModel& model, int folder,
                                                           const SlotImage& image) {
  std::array<std::string, kSlotsPerFolder> frames;
  for (int s = 0; s < kSlotsPerFolder; ++s) {
    frames[s] = BuildWriteRequest(kDefaultDeviceAddress,
                                  SlotAddress(model.identity.notepadAddress, folder, s),
                                  image.data() + s * kRecordSize, kRecordSize);
  }
  return frames;
}

}  // namespace orti
