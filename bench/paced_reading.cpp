#include "paced_reading.h"

#include <cstdio>
#include <memory>

#include "paced_line.h"
#include "platform/date_time.h"
#include "workflow/reading.h"

namespace orti::bench {

namespace {

// No windows: progress is not shown and the half-second wait after the
// reading is left out, so that only the line is timed.
class NoWindows final : public QuietReadingHooks {
 public:
  void SlotDecoded() override { ++records; }
  int records = 0;
};

}  // namespace

PacedReadingResult RunPacedReading(const std::string& simPath, int folders, bool fastRead,
                                   Ms turnaround, ReadingArchive* archive) {
  PacedReadingResult result;
  result.folders = folders;
  result.fastRead = fastRead;
  result.turnaround = turnaround;
  PacedLine line(simPath, folders, fastRead, turnaround);
  NoWindows windows;
  const auto started = std::chrono::steady_clock::now();
  if (line.Identify()) {
    ReadingContext context{line.Services(), windows, LocalNow(), archive};
    result.failedRequests = RunReading(context);
    result.ok = true;
  }
  result.error = line.Error();
  result.wall = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - started);
  result.exchanges = line.counting->count;
  result.wireChars = line.counting->wireChars;
  result.lineFloor = line.counting->lineFloor;
  result.pausedFloor = line.counting->pausedFloor;
  result.slept = line.clock.Slept();
  result.records = windows.records;
  line.Finish();
  return result;
}

}  // namespace orti::bench
