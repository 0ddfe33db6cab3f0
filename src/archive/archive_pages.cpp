#include "archive/archive_pages.h"

#include "archive/archive_grid.h"

namespace orti {

ArchivePages::ArchivePages(StringGrid& grid, std::string decimalSeparator)
    : grid_(grid), separator_(std::move(decimalSeparator)) {
  PrepareArchiveGrid(grid_);
}

void ArchivePages::Start(const ArchiveStore* store, const ArchiveFilter& filter) {
  store_ = store;
  filter_ = filter;
  after_.reset();
  atEnd_ = store == nullptr;
  rows_ = 0;
  PrepareArchiveGrid(grid_);
}

std::vector<Measurement> ArchivePages::Next(size_t count) {
  if (atEnd_) return {};
  std::vector<Measurement> page = store_->Page(filter_, after_, count);
  if (page.size() < count) atEnd_ = true;
  if (!page.empty()) after_ = CursorAfter(page.back());
  return page;
}

void ArchivePages::Append(const std::vector<Measurement>& page) {
  for (const Measurement& m : page)
    WriteArchiveRow(grid_, grid_.FixedRows() + rows_++, m, separator_);
}

}  // namespace orti
