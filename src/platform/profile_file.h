#pragma once
// The settings file in the classic profile-string format: "[Section]" lines
// followed by "Key=Value" lines, cp1251 on disk. Section and key names match
// without regard to letter case; a write touches only the line of its key, so
// comments, unknown keys, blank lines and their order survive byte for byte.

#include <string>
#include <string_view>

#include "platform/atomic_file.h"

namespace orti {

// The bytes of one profile file, read and edited in memory.
class ProfileText {
 public:
  ProfileText() = default;
  explicit ProfileText(std::string cp1251Bytes) : bytes_(std::move(cp1251Bytes)) {}

  // The value (UTF-8) of the first matching key of the first matching
  // section; false when either is missing or the value is empty.
  bool Read(std::string_view section, std::string_view key, std::string& value) const;

  // Replaces the key's line in place, or adds it at the end of its section, or
  // adds the section at the end. Line breaks inside `value` become blanks:
  // a value can never start a line of its own.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  // Number of lines; no key can exist beyond it.
  size_t LineCount() const;

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// A number as the settings hold it: the leading decimal digits after optional
// blanks and sign, the rest ignored; 0 without digits; clamped to int.
int ProfileNumber(std::string_view text);

// Reads the file once; a missing or unreadable file reads as empty.
ProfileText ReadProfileFile(const std::string& path);

// One key of the file; false when the file, the section or the key is missing
// or the value is empty.
bool ReadSetting(const std::string& path, std::string_view section, std::string_view key,
                 std::string& value);

// Writes one key, replacing the whole file atomically (a missing file is
// created). On failure the file is left as it was.
FileResult WriteSetting(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace orti
