#include "archive/lab_names.h"

#include <algorithm>

#include "folders/backup_file.h"

namespace orti {

LabNames::LabNames(StringGrid& grid) : grid_(grid) {
  Fill();
}

void LabNames::Load(const ArchiveStore* store) {
  instruments_ = store ? store->Instruments() : std::vector<InstrumentName>{};
  Fill();
}

bool LabNames::Set(ArchiveKeeper& archive, int row, const std::string& name) {
  if (row < 0 || row >= Count()) return false;
  InstrumentName& instrument = instruments_[static_cast<size_t>(row)];
  archive.SetLabName(instrument.identity, name);
  instrument.labName = name;
  grid_.SetCell(kLabNameColumn, row + 1, name);
  return true;
}

void LabNames::Fill() {
  GridUpdate update(grid_);
  grid_.SetColCount(3);
  grid_.SetFixedRows(1);
  // An empty table keeps one empty row below the titles, as the console's grids do.
  grid_.SetRowCount(1 + std::max(1, Count()));
  grid_.SetCell(0, 0, "Прибор");
  grid_.SetCell(1, 0, "Идентификатор");
  grid_.SetCell(kLabNameColumn, 0, "Название в лаборатории");
  for (int c = 0; c < 3; ++c) grid_.SetCell(c, 1, "");
  for (int i = 0; i < Count(); ++i) {
    const InstrumentName& instrument = instruments_[static_cast<size_t>(i)];
    grid_.SetCell(0, i + 1, instrument.name);
    grid_.SetCell(1, i + 1, HexDigits(instrument.identity));
    grid_.SetCell(kLabNameColumn, i + 1, instrument.labName);
  }
}

}  // namespace orti
