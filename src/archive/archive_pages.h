#pragma once
// A search of the archive shown page by page: the history page's table
// fetches the next rows only when they are scrolled to, so a search over a
// million measurements costs what the screen shows.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_store.h"
#include "model/string_grid.h"

namespace orti {

constexpr size_t kArchivePageRows = 200;

class ArchivePages {
 public:
  // The pages fill `grid`, laid out as PrepareArchiveGrid lays it out.
  ArchivePages(StringGrid& grid, std::string decimalSeparator);

  // A new search: the grid keeps its titles only. A null store finds nothing.
  void Start(const ArchiveStore* store, const ArchiveFilter& filter);
  bool AtEnd() const { return atEnd_; }
  // The rows after those shown, at most `count`; AtEnd once fewer came.
  std::vector<Measurement> Next(size_t count = kArchivePageRows);
  // Rows `page` (from Next) below those shown.
  void Append(const std::vector<Measurement>& page);
  int Rows() const { return rows_; }
  const ArchiveFilter& Filter() const { return filter_; }

 private:
  StringGrid& grid_;
  std::string separator_;
  const ArchiveStore* store_ = nullptr;
  ArchiveFilter filter_;
  std::optional<ArchiveCursor> after_;
  bool atEnd_ = true;
  int rows_ = 0;
};

}  // namespace orti
