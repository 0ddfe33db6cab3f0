#include "folders/folder_names.h"

#include <algorithm>

#include <cstring>

#include "platform/cp1251.h"
#include "platform/utf8.h"

namespace orti {

namespace {

// Ё and ё lie below 0xC0 in cp1251, so the Cyrillic range excludes them.
constexpr unsigned char kFirstCyrillic = 0xC0;

std::string UpperCp1251(std::string_view utf8) {
  return Cp1251ToUpper(Utf8ToCp1251(utf8));
}

}  // namespace

bool IsAllowedNameChar(unsigned char c) {
  if (c >= kFirstCyrillic) return true;
  if (c >= '0' && c <= '9') return true;
  return std::strchr(" ()./_", c) != nullptr && c != '\0';
}

std::string FirstRefusedNameChar(std::string_view utf8) {
  size_t pos = 0;
  while (pos < utf8.size()) {
    const std::string ch = FirstCharacter(utf8.substr(pos));
    bool lossless = false;
    const std::string byte = Utf8ToCp1251(ch, &lossless);
    if (!lossless || byte.size() != 1 || !IsAllowedNameChar(static_cast<unsigned char>(byte[0]))) {
      return ch;
    }
    pos += ch.size();
  }
  return {};
}

bool IsFreeSlot(const NotepadFolder& folder) {
  return Utf8ToCp1251(kFreeFolderName) == folder.name;
}

int FirstFreeSlot(const NotepadModel& model) {
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    const NotepadFolder& folder = model.folders[f];
    // Only a slot known to be free: its header was read, nothing is pending.
    if (IsFreeSlot(folder) && folder.readInFull && folder.pending == 0) return f;
  }
  return -1;
}

bool FolderNameExists(const NotepadModel& model, std::string_view utf8) {
  const std::string wanted = UpperCp1251(utf8);
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    if (Cp1251ToUpper(model.folders[f].name) == wanted) return true;
  }
  return false;
}

void SetFolderName(NotepadFolder& folder, std::string_view utf8) {
  const std::string bytes = Utf8ToCp1251(utf8);
  std::memset(folder.name, 0, sizeof folder.name);
  std::memcpy(folder.name, bytes.data(), std::min<size_t>(bytes.size(), kFolderNameChars));
}

std::string UpperCaseName(std::string_view utf8) {
  return Cp1251ToUtf8(UpperCp1251(utf8));
}

}  // namespace orti
