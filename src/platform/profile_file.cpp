#include "platform/profile_file.h"

#include <cerrno>

#include "platform/cp1251.h"
#include "platform/utf8.h"

namespace orti {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr const char* kUtf16Refused =
    "файл в кодировке UTF-16; сохраните его в кодировке Windows-1251 (ANSI)";

// Ctrl-Z ends a file for old programs; the Windows functions take it for a blank.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view UpToNul(std::string_view s) {
  const size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

// The section name when the line opens a section.
bool SectionHeader(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

// The key name of a non-blank line that opens no section; false for a blank line.
bool KeyName(std::string_view line, std::string_view& key) {
  line = Trim(line);
  if (line.empty()) return false;
  key = Trim(UpToNul(line.substr(0, line.find('='))));
  return true;
}

// The value as written, so that it reads back unchanged.
std::string EncodeValue(std::string value) {
  for (char& c : value) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  const bool blanksAround = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  if (blanksAround || quoted) value = "\"" + value + "\"";
  return value;
}

}  // namespace

std::string ProfileValue(std::string_view afterEquals) {
  std::string_view value = UpToNul(Trim(afterEquals));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

ProfileText::ProfileText(const std::string& fileBytes) {
  std::string_view bytes = fileBytes;
  std::string converted;
  if (StartsWith(bytes, kUtf8Mark)) {
    encoding_ = Encoding::kUtf8;
    bytes.remove_prefix(kUtf8Mark.size());
  } else if (StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark)) {
    encoding_ = Encoding::kUtf16;
    converted = Utf8ToCp1251(Utf16ToUtf8(bytes.substr(2), StartsWith(bytes, kUtf16BeMark)));
    bytes = converted;
  }
  sections_.emplace_back();
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t brk = bytes.find_first_of("\r\n", pos);
    if (brk == std::string::npos) {
      AddLine({std::string(bytes.substr(pos)), ""});
      break;
    }
    const size_t endLength =
        bytes[brk] == '\r' && brk + 1 < bytes.size() && bytes[brk + 1] == '\n' ? 2 : 1;
    AddLine({std::string(bytes.substr(pos, brk - pos)), std::string(bytes.substr(brk, endLength))});
    pos = brk + endLength;
  }
}

std::string ProfileText::Fold(std::string_view text) const {
  std::string folded(text);
  for (char& c : folded) {
    const auto byte = static_cast<unsigned char>(c);
    // In UTF-8 only ASCII letters fold: other bytes are parts of characters.
    if (encoding_ != Encoding::kUtf8 || byte < 0x80) c = static_cast<char>(Cp1251UpperByte(byte));
  }
  return folded;
}

std::string ProfileText::ToFile(std::string_view utf8) const {
  return encoding_ == Encoding::kUtf8 ? std::string(utf8) : Utf8ToCp1251(utf8);
}

void ProfileText::AddLine(Line line) {
  std::string_view name;
  if (SectionHeader(line.text, name)) {
    sectionIndex_.emplace(Fold(name), sections_.size());
    sections_.emplace_back();
    sections_.back().lines.push_back(std::move(line));
    return;
  }
  Section& section = sections_.back();
  if (KeyName(line.text, name)) section.keys.emplace(Fold(name), section.lines.size());
  section.lines.push_back(std::move(line));
}

bool ProfileText::Read(std::string_view section, std::string_view key, std::string& value) const {
  value.clear();
  const auto s = sectionIndex_.find(Fold(Trim(ToFile(section))));
  if (s == sectionIndex_.end()) return false;
  const Section& found = sections_[s->second];
  const auto k = found.keys.find(Fold(Trim(ToFile(key))));
  if (k == found.keys.end()) return false;
  const std::string& text = found.lines[k->second].text;
  const size_t eq = text.find('=');
  if (eq == std::string::npos) return false;  // a key without "=" has an empty value
  value = ProfileValue(std::string_view(text).substr(eq + 1));
  if (encoding_ != Encoding::kUtf8) value = Cp1251ToUtf8(value);
  return !value.empty();
}

void ProfileText::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionName = ToFile(section);
  const std::string keyName = ToFile(key);
  const std::string keyText = keyName + "=" + EncodeValue(ToFile(value));
  if (sections_.empty()) sections_.emplace_back();

  auto terminateLastLine = [this] {
    for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
      if (s->lines.empty()) continue;
      if (s->lines.back().end.empty()) s->lines.back().end = "\r\n";
      return;
    }
  };

  const auto s = sectionIndex_.find(Fold(Trim(sectionName)));
  if (s == sectionIndex_.end()) {
    terminateLastLine();
    sectionIndex_.emplace(Fold(Trim(sectionName)), sections_.size());
    Section added;
    added.lines.push_back({"[" + sectionName + "]", "\r\n"});
    added.keys.emplace(Fold(Trim(keyName)), 1);
    added.lines.push_back({keyText, "\r\n"});
    sections_.push_back(std::move(added));
    return;
  }
  Section& found = sections_[s->second];
  const std::string foldedKey = Fold(Trim(keyName));
  const auto k = found.keys.find(foldedKey);
  if (k != found.keys.end()) {
    found.lines[k->second].text = keyText;
    return;
  }
  // After the section's last non-blank line, so that blank lines separating
  // it from the next section stay where they are (no key follows it).
  size_t last = 0;
  for (size_t i = 0; i < found.lines.size(); ++i) {
    if (!Trim(found.lines[i].text).empty()) last = i;
  }
  if (found.lines[last].end.empty()) found.lines[last].end = "\r\n";
  found.lines.insert(found.lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                     Line{keyText, "\r\n"});
  found.keys.emplace(foldedKey, last + 1);
}

size_t ProfileText::LineCount() const {
  size_t n = 0;
  for (const Section& s : sections_) n += s.lines.size();
  return n;
}

std::string ProfileText::Bytes() const {
  std::string bytes(encoding_ == Encoding::kUtf8 ? kUtf8Mark : std::string_view());
  for (const Section& s : sections_) {
    for (const Line& line : s.lines) {
      bytes += line.text;
      bytes += line.end;
    }
  }
  return bytes;
}

int ProfileNumber(std::string_view text) {
  constexpr long long kMax = 2147483647LL;
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > kMax + 1) n = kMax + 1;  // stays clamped however many digits follow
  }
  if (negative) return static_cast<int>(-n);
  return static_cast<int>(n > kMax ? kMax : n);
}

ProfileText ReadProfileFile(const std::string& path, FileResult* result) {
  std::string bytes;
  const FileResult read = ReadWholeFile(path, bytes, kMaxSettingsFileBytes);
  if (result) *result = read;
  return ProfileText(bytes);
}

bool ReadSetting(const std::string& path, std::string_view section, std::string_view key,
                 std::string& value) {
  return ReadProfileFile(path).Read(section, key, value);
}

FileResult EditProfileFile(const std::string& path, const std::function<void(ProfileText&)>& edit,
                           ReplaceSeam* seam) {
  FileResult read;
  ProfileText text = ReadProfileFile(path, &read);
  // Only a missing file may be started afresh; one that cannot be read must
  // not be replaced by a file holding only these edits.
  if (!read.ok && read.errorNumber != ENOENT) return read;
  if (text.IsUtf16()) return {false, EILSEQ, kUtf16Refused};
  edit(text);
  return ReplaceFile(path, text.Bytes(), seam);
}

FileResult WriteSetting(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  return EditProfileFile(path, [&](ProfileText& text) { text.Write(section, key, value); });
}

}  // namespace orti
