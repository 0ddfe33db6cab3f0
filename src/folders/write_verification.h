#pragma once
// Reading a written folder block back: the instrument may acknowledge a write
// it did not carry out, so only a block that reads back as meant counts as
// written.

#include <string>

#include "folders/folder_writer.h"

namespace orti {

constexpr const char* kStepVerify = "Проверка записи папки ";

// "ИМЯ (№ 3)": how the work log and the questions name a folder.
std::string FolderLabel(const NotepadModel& model, int folder);

// First byte where `read` differs from `expected`, as the work log names it:
// "заголовок" or "запись N" (slot N, from 0); empty when they agree.
std::string FirstDifference(const FolderBlock& expected, const FolderBlock& read);

// Reads the block back and compares it with `expected`. A failed read or a
// difference is one failed request, logged with the folder and the first
// differing slot.
bool VerifyFolder(const FolderWrite& w, int folder, const FolderBlock& expected);

}  // namespace orti
