#pragma once
// One full folder rewritten into orti415-sim with 9600-baud pacing, over a
// pseudo-terminal: backup, erase, header, every record, and the block read
// back; timed against the floor the console's pauses set.

#include <chrono>
#include <string>

namespace orti::bench {

struct PacedRewriteResult {
  bool ok = false;
  std::string error;
  int records = 0;         // written back
  int exchanges = 0;       // writes and read-back reads, retries not counted
  int failedRequests = 0;  // as the synchronisation counts them
  std::chrono::milliseconds wall{0};
};

PacedRewriteResult RunPacedRewrite(const std::string& simPath);

}  // namespace orti::bench
