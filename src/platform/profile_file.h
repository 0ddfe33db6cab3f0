#pragma once
// The settings file in the classic profile-string format: "[Section]" lines
// followed by "Key=Value" lines, cp1251 on disk, read as the Windows
// profile-string functions (GetPrivateProfileStringA) read it, since programs
// on Windows machines share the file:
//
// - a UTF-8 byte-order mark is skipped (the text is then UTF-8, and the mark
//   is kept when written); a UTF-16 file (by its mark) is read, converted to
//   cp1251, but never written: a program appending cp1251 lines to it would
//   leave a file nobody reads;
// - lines end with CR LF, LF or CR alone; no CR ever stays in a value;
// - Ctrl-Z (0x1A), the old end-of-file mark, counts as a blank;
// - a line, once stripped of blanks, that begins with "[" and holds a "]"
//   after it opens a section named by the text up to the LAST "]" (blanks
//   around the name ignored); a line without "]" is no section header;
// - any other non-blank line is a key: the text before the first "=" (or the
//   whole line when there is none: its value is empty), blanks stripped;
// - section and key names match without regard to letter case; the first
//   section of a name is the only one searched, and in it the first line of
//   the key decides;
// - the value: the text after "=", blanks stripped, ending at a NUL byte,
//   then one pair of matching double or single quotes around it removed.
//
// A write touches only the line of its key, so comments, unknown keys, blank
// lines and their order survive byte for byte. The file is parsed once; reads
// and writes are then lookups.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/atomic_file.h"

namespace orti {

// The bytes of one profile file, read and edited in memory.
class ProfileText {
 public:
  ProfileText() = default;
  explicit ProfileText(const std::string& cp1251Bytes);

  // The value (UTF-8) of the first matching key of the first matching
  // section; false when either is missing or the value is empty.
  bool Read(std::string_view section, std::string_view key, std::string& value) const;

  // Replaces the key's line in place, or adds it after the last non-blank
  // line of its section, or adds the section at the end. Line breaks and NUL
  // bytes inside `value` become blanks (a value can never start a line of its
  // own); a value that would not read back as written (blanks around it, or a
  // pair of quotes around it) is put between double quotes.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  // Number of lines; no key can exist beyond it.
  size_t LineCount() const;

  // The file's bytes (cp1251, or UTF-8 after its mark).
  std::string Bytes() const;

  // A UTF-16 file: read, never to be written.
  bool IsUtf16() const { return encoding_ == Encoding::kUtf16; }

 private:
  enum class Encoding { kCp1251, kUtf8, kUtf16 };
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", "\r" or "" for a last line without one
  };
  struct Section {
    std::vector<Line> lines;  // the header line first (none for the lines before any header)
    std::unordered_map<std::string, size_t> keys;  // folded key name → first line of it
  };
  void AddLine(Line line);
  std::string Fold(std::string_view text) const;
  std::string ToFile(std::string_view utf8) const;  // a name or value in the file's encoding

  std::vector<Section> sections_;  // sections_[0]: the lines before the first header
  std::unordered_map<std::string, size_t> sectionIndex_;  // folded name → first section
  Encoding encoding_ = Encoding::kCp1251;
};

// The value text as the Windows functions return it from the text after "=":
// blanks stripped, cut at a NUL, one pair of matching quotes removed (cp1251).
std::string ProfileValue(std::string_view afterEquals);

// A number as the settings hold it: the leading decimal digits after optional
// blanks and sign, the rest ignored; 0 without digits; clamped to int.
int ProfileNumber(std::string_view text);

// Reads the file once (at most kMaxSettingsFileBytes); a missing or
// unreadable file reads as empty, and `result`, when given, says why.
ProfileText ReadProfileFile(const std::string& path, FileResult* result = nullptr);

// One key of the file; false when the file, the section or the key is missing
// or the value is empty.
bool ReadSetting(const std::string& path, std::string_view section, std::string_view key,
                 std::string& value);

// Reads the file, lets `edit` change its text and replaces the file once
// (ReplaceFile: a missing file is created). A file that exists but cannot be
// read is never replaced by the edits alone, and a UTF-16 file is refused
// (EILSEQ); on failure the file is left as it was.
FileResult EditProfileFile(const std::string& path, const std::function<void(ProfileText&)>& edit,
                           ReplaceSeam* seam = nullptr);

// Writes one key (EditProfileFile).
FileResult WriteSetting(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace orti
