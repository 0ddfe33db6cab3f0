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

// False with a reason when the bytes are not a whole backup file: a missing
// checksum or one that does not match, a missing key, a block of the wrong
// length or with other than hexadecimal digits.
bool ParseBackup(const std::string& bytes, Backup& backup, std::string& error);

// CRC-32 (the polynomial of zip and PNG).
uint32_t Crc32(const std::string& bytes);

}  // namespace orti
