#include "sim/image_file.h"

#include <algorithm>

#include "platform/atomic_file.h"

namespace orti::sim {

bool LoadImageFile(const std::string& path, MemoryImage& memory, std::string& error) {
  std::string bytes;
  FileResult r = ReadWholeFile(path, bytes);
  if (!r.ok) {
    error = path + ": " + FileErrorText(r);
    return false;
  }
  if (bytes.size() != kMemorySize) {
    error = path + ": " + std::to_string(bytes.size()) + " bytes, an image holds " +
            std::to_string(kMemorySize);
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), memory.begin());
  return true;
}

bool SaveImageFile(const std::string& path, const MemoryImage& memory, std::string& error) {
  FileResult r = WriteFileAtomically(path, std::string(memory.begin(), memory.end()));
  if (!r.ok) {
    error = path + ": " + FileErrorText(r);
    return false;
  }
  return true;
}

}  // namespace orti::sim
