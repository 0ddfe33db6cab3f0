#include "platform/profile_file.h"

#include <cerrno>
#include <vector>

#include "platform/cp1251.h"
#include "platform/text_case.h"

namespace orti {

namespace {

struct Line {
  size_t begin;  // first byte
  size_t end;    // past the content, before CR LF or LF
  size_t next;   // first byte of the next line
};

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t next = lf == std::string::npos ? bytes.size() : lf + 1;
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    if (end > pos && bytes[end - 1] == '\r') --end;
    lines.push_back({pos, end, next});
    pos = next;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string_view Content(const std::string& bytes, const Line& line) {
  return Trim(std::string_view(bytes).substr(line.begin, line.end - line.begin));
}

// The section name when the line opens a section.
bool SectionHeader(std::string_view content, std::string_view& name) {
  if (content.empty() || content.front() != '[') return false;
  content.remove_prefix(1);
  size_t close = content.find(']');
  name = Trim(content.substr(0, close));
  return true;
}

bool KeyLine(std::string_view content, std::string_view& key, std::string_view& value) {
  size_t eq = content.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(content.substr(0, eq));
  value = Trim(content.substr(eq + 1));
  return true;
}

// Where a section lies: the index of its header and of the line after its last.
struct SectionSpan {
  bool found = false;
  size_t header = 0;
  size_t after = 0;
};

SectionSpan FindSection(const std::string& bytes, const std::vector<Line>& lines,
                        std::string_view section) {
  SectionSpan span;
  std::string_view name;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!SectionHeader(Content(bytes, lines[i]), name)) continue;
    if (span.found) {
      span.after = i;
      return span;
    }
    if (EqualNoCaseCp1251(name, section)) {
      span.found = true;
      span.header = i;
    }
  }
  span.after = lines.size();
  return span;
}

// Index of the key's line inside the section, or `span.after` when missing.
size_t FindKey(const std::string& bytes, const std::vector<Line>& lines, const SectionSpan& span,
               std::string_view key) {
  std::string_view name, value;
  for (size_t i = span.header + 1; i < span.after; ++i) {
    if (KeyLine(Content(bytes, lines[i]), name, value) && EqualNoCaseCp1251(name, key)) return i;
  }
  return span.after;
}

}  // namespace

bool ProfileText::Read(std::string_view section, std::string_view key, std::string& value) const {
  value.clear();
  const std::vector<Line> lines = SplitLines(bytes_);
  const std::string sectionName = Utf8ToCp1251(section);
  const std::string keyName = Utf8ToCp1251(key);
  SectionSpan span = FindSection(bytes_, lines, sectionName);
  if (!span.found) return false;
  size_t at = FindKey(bytes_, lines, span, keyName);
  if (at == span.after) return false;
  std::string_view name, text;
  KeyLine(Content(bytes_, lines[at]), name, text);
  value = Cp1251ToUtf8(text);
  return !value.empty();
}

void ProfileText::Write(std::string_view section, std::string_view key, std::string_view value) {
  std::string oneLine(value);
  for (char& c : oneLine) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const std::string sectionName = Utf8ToCp1251(section);
  const std::string keyName = Utf8ToCp1251(key);
  const std::string keyText = keyName + "=" + Utf8ToCp1251(oneLine);

  const std::vector<Line> lines = SplitLines(bytes_);
  SectionSpan span = FindSection(bytes_, lines, sectionName);
  if (!span.found) {
    if (!bytes_.empty() && bytes_.back() != '\n') bytes_ += "\r\n";
    bytes_ += "[" + sectionName + "]\r\n" + keyText + "\r\n";
    return;
  }
  size_t at = FindKey(bytes_, lines, span, keyName);
  if (at != span.after) {
    const Line& line = lines[at];
    bytes_.replace(line.begin, line.end - line.begin, keyText);
    return;
  }
  // After the section's last non-blank line, so that blank lines separating
  // it from the next section stay where they are.
  size_t last = span.header;
  for (size_t i = span.header + 1; i < span.after; ++i) {
    if (!Content(bytes_, lines[i]).empty()) last = i;
  }
  const Line& line = lines[last];
  std::string insert = keyText + "\r\n";
  if (line.next == line.end) insert = "\r\n" + insert;  // the file ended without a line break
  bytes_.insert(line.next, insert);
}

size_t ProfileText::LineCount() const {
  return SplitLines(bytes_).size();
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

ProfileText ReadProfileFile(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes).ok) bytes.clear();
  return ProfileText(std::move(bytes));
}

bool ReadSetting(const std::string& path, std::string_view section, std::string_view key,
                 std::string& value) {
  return ReadProfileFile(path).Read(section, key, value);
}

FileResult WriteSetting(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::string bytes;
  FileResult read = ReadWholeFile(path, bytes);
  // Only a missing file may be started afresh; one that cannot be read must
  // not be replaced by a file holding this single key.
  if (!read.ok && read.errorNumber != ENOENT) return read;
  ProfileText text(read.ok ? std::move(bytes) : std::string());
  text.Write(section, key, value);
  return WriteFileAtomically(path, text.Bytes());
}

}  // namespace orti
