#pragma once
// Reading the whole notepad into the model, with its progress window, the
// folder summary, the by-date index and the views; and the refresh command.

#include "device/console_services.h"
#include "device/notepad_reader.h"

namespace orti {

// The windows' part of a reading.
class ReadingHooks : public ReadProgress {
 public:
  virtual void OpenProgress() = 0;   // progress window shown, hourglass cursor
  virtual void CloseProgress() = 0;  // window gone, cursor restored
  virtual void RebuildViews() = 0;   // sort the by-date index, fill both views
  virtual void ClearViews() = 0;     // every cell of both views emptied, two rows each
  virtual void FillFolderList() = 0;
  virtual void WaitTicks() = 0;  // about half a second, serving the windows
};

// A reading that shows nothing: the command line, the benchmark, tests.
class QuietReadingHooks : public ReadingHooks {
 public:
  void Start(int) override {}
  void FolderHeaderRead() override {}
  void FolderFree() override {}
  void SlotDecoded() override {}
  void OpenProgress() override {}
  void CloseProgress() override {}
  void RebuildViews() override {}
  void ClearViews() override {}
  void FillFolderList() override {}
  void WaitTicks() override {}
};

// Where a finished reading is kept beyond the views: the measurement archive.
class ReadingArchive {
 public:
  virtual ~ReadingArchive() = default;
  // Must not fail the reading: faults are reported by the archive itself.
  virtual void AddReading(const NotepadModel& model, const ConsoleState& state) = 0;
};

struct ReadingContext : ConsoleServices {
  ReadingHooks& hooks;
  double today;                       // the computer's date, for the year of the records
  ReadingArchive* archive = nullptr;  // none: the reading is not archived
};

// Returns the number of requests that failed.
int RunReading(ReadingContext& context);

// The refresh command: two questions, then the model reset and read again.
// True when the notepad was read.
bool RefreshNotepad(ReadingContext& context);

}  // namespace orti
