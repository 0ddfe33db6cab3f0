#pragma once
// What a push carries from a workstation's archive to the server: one
// reading with the measurements it saw last, and what waits.

#include <cstdint>
#include <string>
#include <vector>

namespace orti {

struct SentRecord {
  std::vector<uint8_t> raw;
  int64_t copy = 0;
  std::string folderName;  // as last read
  int64_t position = 0;    // folder * slots per folder + slot, as last read
  int64_t taken = 0;       // seconds, as stored
  int64_t mode = 0;
  std::string firstOrigin;  // the reading that added it, sent before this one
};

struct SentReading {
  int64_t id = 0;  // the sender's
  std::string origin;
  std::vector<uint8_t> identity;
  std::string instrument;
  double readAt = 0;
  std::string operatorName, workstation;
  std::vector<SentRecord> records;
};

// Every reading and change this archive holds that no server confirmed yet.
struct Waiting {
  int64_t readings = 0, measurements = 0, changes = 0;
};

enum class UnsentKind { kReading, kChange };

}  // namespace orti
