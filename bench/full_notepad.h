#pragma once
// A notepad as full as the by-date index allows: 40 folders of 25 records,
// the other 60 folder slots free, decoded as a reading decodes them.

#include <memory>

#include "model/notepad_model.h"

namespace orti::bench {

constexpr int kFullFolders = 40;

std::unique_ptr<NotepadModel> MakeFullNotepad();

}  // namespace orti::bench
