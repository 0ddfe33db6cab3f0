#pragma once
// One archived measurement and the filters the archive is searched with.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orti {

struct Measurement {
  int64_t id = 0;
  std::string instrument;         // as identified; empty for an imported line
  std::vector<uint8_t> identity;  // identity bytes; empty for an imported line
  std::vector<uint8_t> raw;       // the record's bytes; empty for an imported line
  int folderIndex = -1;           // -1 for an imported line
  std::string folderName;         // UTF-8, as last read
  int slot = -1;
  bool shown = true;  // false for the slot the views never show
  double taken = 0;   // days since 30 December 1899
  uint8_t mode = 0;
  double temperature = 0, emf = 0, ph = 0, ph25 = 0;
  std::string matchKey;  // date, mode and values as the views write them
  double firstRead = 0, lastRead = 0;
  std::string operatorName;  // who read (or imported) it first
  int64_t importId = 0;      // 0: read from an instrument
};

struct ArchiveFilter {
  std::optional<double> from;  // first day, inclusive
  std::optional<double> to;    // last day, inclusive
  std::string folderContains;
  uint8_t mode = 0;  // 0: any
  std::string operatorContains;
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

}  // namespace orti
