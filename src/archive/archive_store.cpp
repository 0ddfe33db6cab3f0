#include "archive/archive_store.h"

namespace orti {

std::vector<Measurement> ArchiveStore::Query(const ArchiveFilter& filter) const {
  std::vector<Measurement> rows;
  Scan(filter, std::nullopt, [&rows](const Measurement& m) {
    rows.push_back(m);
    return true;
  });
  return rows;
}

std::vector<Measurement> ArchiveStore::Page(const ArchiveFilter& filter,
                                            const std::optional<ArchiveCursor>& after,
                                            size_t limit) const {
  std::vector<Measurement> rows;
  if (limit == 0) return rows;
  rows.reserve(limit);
  ScanUpTo(filter, after, limit, [&](const Measurement& m) {
    rows.push_back(m);
    return rows.size() < limit;
  });
  return rows;
}

void ArchiveStore::ScanUpTo(const ArchiveFilter& filter, const std::optional<ArchiveCursor>& after,
                            size_t, const std::function<bool(const Measurement&)>& each) const {
  Scan(filter, after, each);
}

}  // namespace orti
