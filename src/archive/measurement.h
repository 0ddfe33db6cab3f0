#pragma once
// One archived measurement and the filters the archive is searched with.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/match_key.h"

namespace orti {

struct Measurement {
  int64_t id = 0;
  std::string instrument;    // as identified; empty for an imported line
  std::vector<uint8_t> raw;  // the record's bytes; empty for an imported line
  int copy = 0;              // the n-th slot of one reading holding the same bytes
  int folderIndex = -1;      // -1 for an imported line
  std::string folderName;    // UTF-8, as last read
  int slot = -1;
  bool shown = true;  // false for the slot the views never show
  double taken = 0;   // days since 30 December 1899, whole seconds
  uint8_t mode = 0;
  double temperature = 0, emf = 0, ph = 0, ph25 = 0;
  MatchKey matchKey;  // what an import matches on
  double firstRead = 0, lastRead = 0;
  std::string operatorName;  // who read (or imported) it first
  int64_t importId = 0;      // 0: read from an instrument
  std::string workstation;   // where it was first read
  // Removed from its instrument by a change the console made: when and by whom.
  std::optional<double> removedAt;
  std::string removedBy;
};

// One reading as the archive receives it.
struct Reading {
  std::vector<uint8_t> identity;  // the instrument's identity bytes
  std::string instrument;         // its name and version, as shown
  std::string operatorName;
  std::string workstation;  // where it was read
  std::string origin;       // its name across workstations; empty: the store makes one
  std::vector<Measurement> measurements;
};

// A measurement of a reading that could not be added, and why.
struct RowFault {
  std::string measurement;  // "folder dd.mm.yyyy hh:nn:ss"
  std::string reason;
};

struct ReadingAdded {
  int added = 0;
  std::vector<RowFault> faults;
};

struct ArchiveFilter {
  std::optional<double> from;  // first day, inclusive
  std::optional<double> to;    // last day, inclusive
  std::string folderContains;
  uint8_t mode = 0;  // 0: any
  std::string operatorContains;
  bool removedOnly = false;          // only what was removed from its instrument
  std::string instrumentContains{};  // in its shown or reported name
};

struct ChangeFilter {
  std::optional<double> from, to;  // days, inclusive
  std::string instrumentContains;
};

// An instrument the archive knows: its identity, the name it reports, and
// the name the lab gave it (empty: none).
struct InstrumentName {
  std::vector<uint8_t> identity;
  std::string name;
  std::string labName;
};

// The name an instrument is shown by: the lab's when given.
inline const std::string& ShownInstrumentName(const InstrumentName& instrument) {
  return instrument.labName.empty() ? instrument.name : instrument.labName;
}

// Where a page of a search ends: the next page starts after it.
struct ArchiveCursor {
  int64_t taken = 0;  // seconds, as stored
  int64_t id = 0;
};

struct ArchiveStats {
  int64_t measurements = 0;
  int64_t instruments = 0;
  int64_t folders = 0;
  std::optional<double> first, last;
};

struct ImportBatch {
  int64_t id = 0;
  std::string file;
  double imported = 0;
  int64_t added = 0;
};

// Dates are kept as whole seconds of local time since 1 January 2000 (day
// 36526 of the console's count): the instrument counts in 2-second steps and
// export lines in seconds, and such a number takes 4 bytes on disk until 2068.
constexpr double kSecondsPerDay = 86400;
constexpr int kArchiveEpochDay = 36526;
inline int64_t ArchiveSeconds(double days) {
  return std::llround((days - kArchiveEpochDay) * kSecondsPerDay);
}
inline double ArchiveDays(int64_t seconds) {
  return kArchiveEpochDay + static_cast<double>(seconds) / kSecondsPerDay;
}

inline ArchiveCursor CursorAfter(const Measurement& m) {
  return {ArchiveSeconds(m.taken), m.id};
}

}  // namespace orti
