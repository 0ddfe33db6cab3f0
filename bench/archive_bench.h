#pragma once
// The archives the benchmarks measure, also built on their own for a look at
// the console over a year of measurements (orti415-bench --build-archive).

#include <memory>
#include <string>

#include "device/memory_map.h"
#include "model/notepad_model.h"

namespace orti::bench {

constexpr int kReadingRecords = kMaxFolders * kShownSlots;  // 2 500
constexpr int kMeasurementsPerYear = 1000000;

// The first day of the year of measurements that ends today.
double FirstDay();

// Reading `generation` of a lab that fills every folder of its notepad with
// records never read before: 2 500 of them, one every 31.5 s, so that a
// million cover the year that begins on `firstDay`. The bytes are encoded as
// the instrument encodes them and decoded as a reading decodes them.
std::unique_ptr<NotepadModel> FullReading(int generation, double firstDay);

// Adds `measurements` / 2 500 readings to the archive at `path`, the last
// ending today; returns the readings added.
int BuildArchive(const std::string& path, int measurements);

}  // namespace orti::bench
