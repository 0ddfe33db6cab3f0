#pragma once
// Loading the whole notepad: each folder's header, then its records in five
// chunks of five slots and the last slot on its own. A failed request is
// logged and the reading goes on; what was loaded before stays.

#include "device/exchanger.h"
#include "model/notepad_model.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"

namespace orti {

class ReadProgress {
 public:
  virtual ~ReadProgress() = default;
  virtual void Start(int folderCount) = 0;
  virtual void FolderHeaderRead() = 0;  // a header was read and decoded
  virtual void FolderFree() = 0;        // that folder needs no more reads
  virtual void SlotDecoded() = 0;
};

// Prepares the model (base date, empty index, folder count, work area) and
// reads folders 0 .. F-1 of the instrument whose identity the model holds.
// Returns the number of requests that failed.
int ReadNotepad(Exchanger& link, NotepadModel& model, double today, LogSink& log,
                ReadProgress& progress, Dialogs& dialogs);

// The folder's name from the header digits: up to 16 bytes, ended by 0xFF or 0.
void DecodeFolderName(std::string_view block, char (&name)[kFolderNameChars + 1]);

}  // namespace orti
