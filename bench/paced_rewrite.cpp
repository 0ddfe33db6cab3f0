#include "paced_rewrite.h"

#include <memory>

#include "cli/headless_windows.h"
#include "folders/folder_names.h"
#include "folders/synchronisation.h"
#include "paced_line.h"
#include "platform/date_time.h"
#include "workflow/reading.h"

namespace orti::bench {
namespace {

// The generator fills folder 2 up to slot 25 when there are four folders.
constexpr int kFolders = 4;
constexpr int kFullFolder = 2;

class NoViews final : public ViewsHooks {
 public:
  void SortByDateIndex() override {}
  void FillGrids() override {}
};

}  // namespace

PacedRewriteResult RunPacedRewrite(const std::string& simPath) {
  PacedRewriteResult result;
  PacedLine line(simPath, kFolders, false);
  QuietReadingHooks quiet;
  if (!line.Identify()) {
    result.error = line.Error();
    return result;
  }
  ReadingContext reading{line.Services(), quiet, LocalNow()};
  if (RunReading(reading) != 0) {
    result.error = "the reading before the rewrite failed";
    return result;
  }
  // A rename rewrites every record of the folder.
  NotepadFolder& folder = line.model->folders[kFullFolder];
  for (const NotepadRecord& record : folder.records) result.records += record.mode != kModeEmpty;
  SetFolderName(folder, "ПЕРЕПИСАНА");
  folder.state = FolderState::kRewritePending;
  folder.pending = 1;

  cli::NoSyncProgress progress;
  NoViews views;
  const SyncContext sync{line.Services(), progress, views};
  const int before = line.counting->count;
  const auto started = std::chrono::steady_clock::now();
  const SyncOutcome outcome = SynchroniseFolders(sync, false);
  result.wall = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - started);
  result.exchanges = line.counting->count - before;
  result.failedRequests = outcome.failedRequests;
  result.ok = true;
  line.Finish();
  return result;
}

}  // namespace orti::bench
