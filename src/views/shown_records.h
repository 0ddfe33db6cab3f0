#pragma once
// Which records the views show: a record of mode 1, 2 or 3 in record slots
// 0 .. 24 of a folder that is as read (1) or changed (3). Free, cleared, new
// and removed folders hold no shown record. The views, the record count of
// the popups and the row lookups of the marks all count the same way.

#include <vector>

#include "model/notepad_model.h"
#include "model/view_mark.h"

namespace orti {

struct RecordRef {
  int folder;
  int record;
};

bool IsShownFolder(const NotepadModel& model, int folder);
bool IsShownRecord(const NotepadModel& model, int folder, int record);

int CountShownRecords(const NotepadModel& model);

// The records a view shows, row 1 first: by folders in folder and slot order,
// by date in the order of the model's by-date index.
std::vector<RecordRef> ViewRecords(const NotepadModel& model, ViewKind view);

// The popup menus of both views are enabled while anything is shown.
inline bool PopupItemsEnabled(const NotepadModel& model) {
  return CountShownRecords(model) > 0;
}

}  // namespace orti
