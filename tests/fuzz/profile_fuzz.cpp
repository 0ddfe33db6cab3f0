// The settings file as other programs leave it: the profile-file reader must
// hold up against any bytes, keep every byte it does not write, and read back
// what it wrote.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/cp1251.h"
#include "platform/profile_file.h"

namespace {

using namespace orti;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

const char* const kSections[] = {"Users", "Startpage", "Connection", "FolderName"};
const char* const kKeys[] = {"UsersCount", "User0", "User1", "Startpage",    "StartStyle",
                             "Connection", "Port",  "ID",    "NewFolderName"};

std::string ReadOr(const ProfileText& text, const char* section, const char* key) {
  std::string value;
  return text.Read(section, key, value) ? value : std::string("\x01missing");
}

}  // namespace

// Input: two selector bytes, a value up to the first 0xFF byte, then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (input.size() < 2) {
    ProfileText text(input);
    Check(text.Bytes() == input);
    return 0;
  }
  const char* section = kSections[static_cast<uint8_t>(input[0]) % 4];
  const char* key = kKeys[static_cast<uint8_t>(input[1]) % 9];
  const size_t cut = input.find('\xFF', 2);
  const std::string valueBytes = input.substr(2, cut == std::string::npos ? 0 : cut - 2);
  const std::string file = cut == std::string::npos ? input.substr(2) : input.substr(cut + 1);

  // Parsing keeps every byte (a UTF-16 file is converted, and never written),
  // and reading never finds a line end in a value.
  ProfileText text(file);
  Check(text.IsUtf16() || text.Bytes() == file);
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      std::string value;
      if (text.Read(s, k, value)) {
        Check(!value.empty());
        Check(value.find('\r') == std::string::npos && value.find('\n') == std::string::npos);
        Check(value.find('\0') == std::string::npos);
      }
    }
  }

  if (text.IsUtf16()) return 0;

  // Read after write: the written key reads back (line breaks and NUL as
  // blanks), every other key reads as before, and the bytes parse to the same.
  // (In a cp1251 file, a byte that cp1251 leaves undefined does not come back
  // from UTF-8: the value is what cp1251 can hold.)
  const std::string value = Cp1251ToUtf8(valueBytes);
  const bool utf8File = file.rfind("\xEF\xBB\xBF", 0) == 0;
  std::string expected = utf8File ? value : Utf8ToCp1251(value);
  for (char& c : expected) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  ProfileText written(file);
  written.Write(section, key, value);
  const ProfileText reparsed(written.Bytes());
  Check(reparsed.Bytes() == written.Bytes());
  Check(ReadOr(written, section, key) == (expected.empty() ? std::string("\x01missing")
                                          : utf8File       ? expected
                                                           : Cp1251ToUtf8(expected)));
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      Check(ReadOr(reparsed, s, k) == ReadOr(written, s, k));
      if (std::string(s) == section && std::string(k) == key) continue;
      Check(ReadOr(written, s, k) == ReadOr(text, s, k));
    }
  }
  return 0;
}
