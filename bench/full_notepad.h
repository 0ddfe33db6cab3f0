#pragma once
// A notepad as full as the by-date index allows: 40 folders of 25 records,
// the other 60 folder slots free, decoded as a reading decodes them.

#include <memory>
#include <string>

#include "model/notepad_model.h"
#include "sim/record_encoding.h"

namespace orti::bench {

constexpr int kFullFolders = 40;

std::unique_ptr<NotepadModel> MakeFullNotepad();

// A slot's bytes as a read reply carries them: two hexadecimal digits each.
std::string SlotChars(const sim::RecordBytes& bytes);

}  // namespace orti::bench
