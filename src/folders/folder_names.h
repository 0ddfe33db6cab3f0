#pragma once
// Folder names as the instrument keeps them: at most 16 cp1251 characters, a
// restricted alphabet, unique without regard to letter case.

#include <string>
#include <string_view>

#include "model/notepad_model.h"

namespace orti {

// Cyrillic letters without Ё and ё, digits, space and "( ) . / _".
bool IsAllowedNameChar(unsigned char cp1251);

// The first character of `utf8` that a folder name may not hold, as UTF-8;
// empty when every character is allowed.
std::string FirstRefusedNameChar(std::string_view utf8);

bool IsFreeSlot(const NotepadFolder& folder);
// Lowest folder 0 .. folderCount-1 that carries the free-slot name, whose
// header was read and which has nothing pending; -1 when there is none.
int FirstFreeSlot(const NotepadModel& model);

// True when `utf8` equals the name of any folder slot, letter case ignored.
bool FolderNameExists(const NotepadModel& model, std::string_view utf8);

// Stores at most 16 characters; the caller has checked the alphabet.
void SetFolderName(NotepadFolder& folder, std::string_view utf8);

// Upper case of an allowed name (а to я become А to Я).
std::string UpperCaseName(std::string_view utf8);

}  // namespace orti
