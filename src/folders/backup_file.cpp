#include "folders/backup_file.h"

#include <cstdio>
#include <cstdlib>

#include "model/notepad_model.h"
#include "platform/cp1251.h"

namespace orti {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kChecksumKey = "Checksum=";
constexpr const char* kFolderSection = "[Folder ";

std::string Line(const std::string& key, const std::string& value) {
  return key + "=" + Utf8ToCp1251(value) + kLineEnd;
}

std::string HexDigits(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
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

// The lines of the file, each without its line end.
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    if (lf == std::string::npos) lf = bytes.size();
    std::string line = bytes.substr(pos, lf - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = lf + 1;
  }
  return lines;
}

// The value of `key` in the section lines [from, to); false when missing.
bool Value(const std::vector<std::string>& lines, size_t from, size_t to, const std::string& key,
           std::string& value) {
  for (size_t i = from; i < to; ++i) {
    if (lines[i].compare(0, key.size() + 1, key + "=") == 0) {
      value = Cp1251ToUtf8(lines[i].substr(key.size() + 1));
      return true;
    }
  }
  return false;
}

bool Fail(std::string& error, const std::string& reason) {
  error = reason;
  return false;
}

}  // namespace

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string FormatBackup(const Backup& b) {
  std::string text = std::string("[Backup]") + kLineEnd;
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
  }
  char checksum[16];
  std::snprintf(checksum, sizeof checksum, "%08X", static_cast<unsigned>(Crc32(text)));
  return text + kChecksumKey + checksum + kLineEnd;
}

bool ParseBackup(const std::string& bytes, Backup& b, std::string& error) {
  const size_t at = bytes.rfind(kChecksumKey);
  if (at == std::string::npos || (at > 0 && bytes[at - 1] != '\n')) {
    return Fail(error, "нет контрольной суммы");
  }
  const uint32_t stored = static_cast<uint32_t>(
      std::strtoul(bytes.c_str() + at + std::string(kChecksumKey).size(), nullptr, 16));
  if (stored != Crc32(bytes.substr(0, at))) return Fail(error, "контрольная сумма не совпадает");

  const std::vector<std::string> lines = SplitLines(bytes.substr(0, at));
  std::vector<size_t> sections;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].empty() && lines[i][0] == '[') sections.push_back(i);
  }
  if (sections.empty() || lines[sections[0]] != "[Backup]") return Fail(error, "нет [Backup]");
  sections.push_back(lines.size());

  b = Backup{};
  std::string address, completed;
  if (!Value(lines, sections[0], sections[1], "Created", b.created) ||
      !Value(lines, sections[0], sections[1], "Identity", b.identity) ||
      !Value(lines, sections[0], sections[1], "NotepadAddress", address) ||
      !Value(lines, sections[0], sections[1], "Reason", b.reason) ||
      !Value(lines, sections[0], sections[1], "Completed", completed) ||
      !ParseInt(address, b.notepadAddress)) {
    return Fail(error, "раздел [Backup] неполон");
  }
  b.completed = completed == "1";

  for (size_t s = 1; s + 1 < sections.size(); ++s) {
    const std::string& header = lines[sections[s]];
    const std::string prefix = kFolderSection;
    BackupFolder f;
    std::string number, folderAddress, written, block;
    if (header.compare(0, prefix.size(), prefix) != 0 || header.back() != ']' ||
        !ParseInt(header.substr(prefix.size(), header.size() - prefix.size() - 1), f.folder)) {
      return Fail(error, "неизвестный раздел " + Cp1251ToUtf8(header));
    }
    const size_t from = sections[s], to = sections[s + 1];
    if (!Value(lines, from, to, "Address", folderAddress) ||
        !Value(lines, from, to, "Name", f.name) || !Value(lines, from, to, "Written", written) ||
        !Value(lines, from, to, "Block", block) || !ParseInt(folderAddress, f.address) ||
        !ParseHex(block, f.block) ||
        (f.block.size() != size_t{kFolderBlockBytes} &&
         f.block.size() != size_t{kFolderHeaderBytes})) {
      return Fail(error, "раздел " + Cp1251ToUtf8(header) + " неполон");
    }
    f.written = written == "1";
    b.folders.push_back(std::move(f));
  }
  return true;
}

}  // namespace orti
