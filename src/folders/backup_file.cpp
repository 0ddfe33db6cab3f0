#include "folders/backup_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

#include "device/folder_block.h"
#include "model/notepad_model.h"
#include "platform/cp1251.h"

namespace orti {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kChecksumKey = "Checksum=";
constexpr const char* kFolderSection = "[Folder ";

constexpr const char* kBackupSection = "[Backup]";
constexpr size_t kChecksumDigits = 8;

std::string Line(const std::string& key, const std::string& value) {
  return key + "=" + Utf8ToCp1251(value) + kLineEnd;
}

std::string ChecksumText(uint32_t crc) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
  return text;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(const std::string& text, std::vector<uint8_t>& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = DigitValue(text[i]), low = DigitValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return true;
}

bool ParseInt(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  value = std::atoi(text.c_str());
  return true;
}

bool ParseFlag(const std::string& text, bool& value) {
  if (text != "0" && text != "1") return false;
  value = text == "1";
  return true;
}

// One section of the file: its heading line and the value of each key, with
// the line it stands on (lines counted from 1).
struct Section {
  std::string heading;
  int line = 0;
  std::map<std::string, std::pair<std::string, int>> values;
};

class Parser {
 public:
  explicit Parser(std::string& error) : error_(error) {}

  bool Fail(int line, const std::string& reason) {
    error_ = "строка " + std::to_string(line) + ": " + reason;
    return false;
  }
  // The value of `key` (cp1251 as in the file); false when missing.
  bool Raw(const Section& s, const char* key, std::string& value, int& line) {
    const auto it = s.values.find(key);
    if (it == s.values.end()) {
      return Fail(s.line, "в разделе " + Cp1251ToUtf8(s.heading) + " нет ключа " + key);
    }
    value = it->second.first;
    line = it->second.second;
    return true;
  }
  bool Text(const Section& s, const char* key, std::string& value) {
    int line = 0;
    if (!Raw(s, key, value, line)) return false;
    value = Cp1251ToUtf8(value);
    return true;
  }
  template <typename Parse, typename Value>
  bool Get(const Section& s, const char* key, Parse parse, Value& value) {
    std::string text;
    int line = 0;
    if (!Raw(s, key, text, line)) return false;
    return parse(text, value) || Fail(line, std::string("неверное значение ") + key);
  }
  // A block as saved: hexadecimal digits the reading would take.
  bool Block(const Section& s, const char* key, std::vector<uint8_t>& block) {
    std::string text;
    int line = 0;
    if (!Raw(s, key, text, line)) return false;
    if (!ParseHex(text, block)) return Fail(line, "не шестнадцатеричные цифры");
    const std::string refusal = BlockRefusal(block.data(), block.size());
    return refusal.empty() || Fail(line, refusal);
  }

 private:
  std::string& error_;
};

const std::set<std::string> kBackupKeys = {"Created", "Identity", "NotepadAddress", "Reason",
                                           "Completed"};
const std::set<std::string> kFolderKeys = {"Address", "Name", "Written",
                                           "Block",   "Goal", "GoalChecksum"};

// The lines of the file, each without its CR LF, and the sections they make.
bool SplitSections(const std::string& text, Parser& p, std::vector<Section>& sections) {
  std::set<std::string> headings;
  size_t pos = 0;
  for (int line = 1; pos < text.size(); ++line) {
    const size_t end = text.find(kLineEnd, pos);
    if (end == std::string::npos) return p.Fail(line, "строка не закончена");
    const std::string content = text.substr(pos, end - pos);
    pos = end + 2;
    if (!content.empty() && content[0] == '[') {
      if (sections.empty() && content != kBackupSection) return p.Fail(line, "нет [Backup]");
      if (!headings.insert(content).second) {
        return p.Fail(line, "раздел " + Cp1251ToUtf8(content) + " повторяется");
      }
      sections.push_back({content, line, {}});
      continue;
    }
    const size_t equals = content.find('=');
    if (sections.empty() || equals == std::string::npos) return p.Fail(line, "неизвестная строка");
    const std::string key = content.substr(0, equals);
    const auto& known = sections.size() == 1 ? kBackupKeys : kFolderKeys;
    if (known.count(key) == 0) return p.Fail(line, "неизвестный ключ " + key);
    if (!sections.back()
             .values.emplace(key, std::make_pair(content.substr(equals + 1), line))
             .second) {
      return p.Fail(line, "ключ " + key + " повторяется");
    }
  }
  return !sections.empty() || p.Fail(1, "нет [Backup]");
}

bool ParseFolder(const Section& s, Parser& p, BackupFolder& f) {
  const std::string prefix = kFolderSection;
  const std::string& h = s.heading;
  if (h.compare(0, prefix.size(), prefix) != 0 || h.back() != ']' ||
      !ParseInt(h.substr(prefix.size(), h.size() - prefix.size() - 1), f.folder)) {
    return p.Fail(s.line, "неизвестный раздел " + Cp1251ToUtf8(h));
  }
  if (!p.Get(s, "Address", ParseInt, f.address) || !p.Text(s, "Name", f.name) ||
      !p.Get(s, "Written", ParseFlag, f.written) || !p.Block(s, "Block", f.block)) {
    return false;
  }
  if (f.name != BlockNameUtf8(f.block)) {
    return p.Fail(s.values.at("Name").second, "имя не совпадает с блоком");
  }
  const bool goal = s.values.count("Goal") != 0;
  if (goal != (s.values.count("GoalChecksum") != 0)) {
    return p.Fail(s.line, "ключи Goal и GoalChecksum бывают только вместе");
  }
  if (!goal) return true;
  std::string checksum;
  int line = 0;
  if (!p.Block(s, "Goal", f.goal) || !p.Raw(s, "GoalChecksum", checksum, line)) return false;
  return checksum == ChecksumText(Crc32(std::string(f.goal.begin(), f.goal.end()))) ||
         p.Fail(line, "контрольная сумма цели не совпадает");
}

}  // namespace

std::string HexDigits(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string BlockNameUtf8(const std::vector<uint8_t>& block) {
  if (block.empty() || IsFreeHeader(block.data())) return {};
  size_t length = 0;
  while (length < kFolderNameChars && length < block.size() && block[length] != 0xFF &&
         block[length] != 0) {
    ++length;
  }
  return Cp1251ToUtf8(std::string(reinterpret_cast<const char*>(block.data()), length));
}

std::string FormatBackup(const Backup& b) {
  std::string text = std::string(kBackupSection) + kLineEnd;
  text += Line("Created", b.created);
  text += Line("Identity", b.identity);
  text += Line("NotepadAddress", std::to_string(b.notepadAddress));
  text += Line("Reason", b.reason);
  text += Line("Completed", b.completed ? "1" : "0");
  for (const BackupFolder& f : b.folders) {
    text += kFolderSection + std::to_string(f.folder) + "]" + kLineEnd;
    text += Line("Address", std::to_string(f.address));
    text += Line("Name", f.name);
    text += Line("Written", f.written ? "1" : "0");
    text += Line("Block", HexDigits(f.block));
    if (f.goal.empty()) continue;
    text += Line("Goal", HexDigits(f.goal));
    text += Line("GoalChecksum", ChecksumText(Crc32(std::string(f.goal.begin(), f.goal.end()))));
  }
  return text + kChecksumKey + ChecksumText(Crc32(text)) + kLineEnd;
}

bool ParseBackup(const std::string& bytes, Backup& b, std::string& error) {
  Parser p(error);
  // The last line is the checksum, exactly as written, of every byte before it.
  const std::string key = kChecksumKey;
  const size_t lineLength = key.size() + kChecksumDigits + 2;
  const size_t at = bytes.size() >= lineLength ? bytes.size() - lineLength : 0;
  const int lines = static_cast<int>(std::count(bytes.begin(), bytes.begin() + at, '\n')) + 1;
  if (bytes.size() < lineLength || (at > 0 && bytes[at - 1] != '\n') ||
      bytes.compare(at, key.size(), key) != 0 ||
      bytes.compare(bytes.size() - 2, 2, kLineEnd) != 0) {
    return p.Fail(lines, "нет строки контрольной суммы");
  }
  const std::string before = bytes.substr(0, at);
  if (bytes.substr(at + key.size(), kChecksumDigits) != ChecksumText(Crc32(before))) {
    return p.Fail(lines, "контрольная сумма не совпадает");
  }

  std::vector<Section> sections;
  if (!SplitSections(before, p, sections)) return false;
  b = Backup{};
  const Section& head = sections[0];
  if (!p.Text(head, "Created", b.created) || !p.Text(head, "Identity", b.identity) ||
      !p.Get(head, "NotepadAddress", ParseInt, b.notepadAddress) ||
      !p.Text(head, "Reason", b.reason) || !p.Get(head, "Completed", ParseFlag, b.completed)) {
    return false;
  }
  std::set<int> numbers;
  for (size_t s = 1; s < sections.size(); ++s) {
    BackupFolder f;
    if (!ParseFolder(sections[s], p, f)) return false;
    // "[Folder 3]" and "[Folder 03]" are one folder.
    if (!numbers.insert(f.folder).second) {
      return p.Fail(sections[s].line, "папка " + std::to_string(f.folder) + " повторяется");
    }
    b.folders.push_back(std::move(f));
  }
  return true;
}

}  // namespace orti
