#include "device/write_frames.h"

#include <cstring>

#include "device/frame_codec.h"

namespace orti {

std::string BuildEraseFrame(const NotepadModel& model, int folder) {
  return BuildWriteRequest(kDefaultDeviceAddress, FolderBase(model.identity.notepadAddress, folder),
                           nullptr, 0);
}

std::string BuildHeaderFrame(const NotepadModel& model, int folder, const uint8_t* header) {
  return BuildWriteRequest(kDefaultDeviceAddress, FolderBase(model.identity.notepadAddress, folder),
                           header, kFolderHeaderSize);
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
