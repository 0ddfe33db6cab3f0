#pragma once
// One full reading of the notepad from orti415-sim with 9600-baud pacing, over
// a pseudo-terminal, timed against the floor the console's pauses set.

#include <chrono>
#include <string>

#include "workflow/reading.h"

namespace orti::bench {

struct PacedReadingResult {
  bool ok = false;
  std::string error;
  int folders = 0;
  bool fastRead = false;
  int records = 0;
  int exchanges = 0;                         // requests sent, retries not counted
  int failedRequests = 0;                    // as the reading counts them
  long wireChars = 0;                        // characters of every request and its reply
  std::chrono::milliseconds turnaround{0};   // the simulator's, after each request
  std::chrono::milliseconds lineFloor{0};    // Σ request + turnaround + reply
  std::chrono::milliseconds pausedFloor{0};  // Σ max(300 ms, request + turnaround + reply)
  std::chrono::milliseconds wall{0};
  std::chrono::milliseconds slept{0};  // the console's own pauses
};

// `folders` blocks (1 to 100) at the end of the instrument's memory; the
// reading is added to `archive` when given, as the console adds it.
PacedReadingResult RunPacedReading(const std::string& simPath, int folders, bool fastRead,
                                   std::chrono::milliseconds turnaround,
                                   ReadingArchive* archive = nullptr);

}  // namespace orti::bench
