#pragma once
// The backup of folder blocks saved before the console erases them: a text
// file a person can read and another program can parse. cp1251, CR LF:
//
//   [Backup]
//   Created=08.12.2026 11:40:05.123
//   Identity=ОРТИ-415 1
//   NotepadAddress=12800
//   Reason=Синхронизация
//   Completed=0
//   [Folder 3]
//   Address=14336
//   Name=ОПЫТЫ
//   Written=0
//   Block=414243...          (the block as hexadecimal digits)
//   Goal=414243...           (the block the write is meant to leave)
//   GoalChecksum=5E6F7A8B    (CRC-32 of the goal's bytes)
//   Checksum=1A2B3C4D        (CRC-32 of every byte before this line)

#include <cstdint>
#include <string>
#include <vector>

namespace orti {

struct BackupFolder {
  int folder = 0;    // its number in the notepad, from 0
  int address = 0;   // of its block in the instrument
  std::string name;  // UTF-8; empty for a free slot
  // The 512 bytes of a folder in use, or the 18 header bytes of a free slot.
  std::vector<uint8_t> block;
  // What the write is meant to leave, kept as `block` is; empty in a backup
  // written before the goal was kept.
  std::vector<uint8_t> goal;
  bool written = false;  // written and verified by the synchronisation that saved it
};

struct Backup {
  std::string created;   // "dd.mm.yyyy hh:nn:ss.zzz"
  std::string identity;  // UTF-8, as IdentityText gives it
  int notepadAddress = 0;
  std::string reason;  // UTF-8
  bool completed = false;
  std::vector<BackupFolder> folders;
};

// The file's bytes, checksum line included.
std::string FormatBackup(const Backup& backup);

// False with a reason that names the line when the bytes are not a backup
// file exactly as this program writes them: a checksum line not as written
// or not matching, a missing, repeated or unknown key, a folder twice, a
// block of the wrong length, with other than hexadecimal digits or that the
// reading would not take (BlockRefusal), a name other than the block's.
bool ParseBackup(const std::string& bytes, Backup& backup, std::string& error);

// The folder name a saved block holds (UTF-8); empty for a free slot.
std::string BlockNameUtf8(const std::vector<uint8_t>& block);

// The bytes as upper-case hexadecimal digits, two per byte.
std::string HexDigits(const std::vector<uint8_t>& bytes);

// CRC-32 (the polynomial of zip and PNG).
uint32_t Crc32(const std::string& bytes);

}  // namespace orti
