#pragma once
// A plausible notepad made from a seed: named folders with measurements of
// this year, deleted records, free folders, and a folder whose last slot
// (slot 25) is used. The same seed always gives the same bytes.

#include <cstdint>

#include "sim/notepad_layout.h"

namespace orti::sim {

struct GeneratorSettings {
  uint32_t seed = 1;
  uint16_t notepadAddress = kDefaultNotepadAddress;
  // Today's day of the year: no measurement is dated later.
  int today = 365;
};

// Folder 0 holds a deleted record, folder 2 is full up to slot 25 and the last
// folder is free, whenever the notepad has that many folders.
MemoryImage GenerateNotepad(const GeneratorSettings& settings);

// Today's day of the year (1 = 1 January) by the local clock.
int DayOfYearToday();

}  // namespace orti::sim
