#pragma once
// The instruments the archive knows, as the settings page lists them: the
// name each reports, its identity (two instruments of one model report the
// same name) and the name the lab gave it, which the page may change.

#include <string>
#include <vector>

#include "archive/archive_keeper.h"
#include "archive/archive_store.h"
#include "model/string_grid.h"

namespace orti {

constexpr int kLabNameColumn = 2;  // "Название в лаборатории"

class LabNames {
 public:
  // Fills `grid`: a title row, then one row per instrument.
  explicit LabNames(StringGrid& grid);

  // The instruments of `store` (none when null). Throws ArchiveError.
  void Load(const ArchiveStore* store);
  // Gives the instrument of table row `row` (0: the first below the titles)
  // the name `name` (empty: none) and shows it. False when there is no such
  // row. Throws ArchiveError.
  bool Set(ArchiveKeeper& archive, int row, const std::string& name);
  int Count() const { return static_cast<int>(instruments_.size()); }

 private:
  void Fill();

  StringGrid& grid_;
  std::vector<InstrumentName> instruments_;
};

}  // namespace orti
