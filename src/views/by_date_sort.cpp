#include "views/by_date_sort.h"

namespace orti {

void SortByDateIndex(ByDateIndex& index) {
  // An insertion sort: stable, in place, and at most half a million
  // comparisons for a full index.
  const int count = index.Count();
  for (int i = 1; i < count; ++i) {
    const int32_t folder = index.folder[i];
    const int32_t record = index.record[i];
    const double dateTime = index.dateTime[i];
    int j = i;
    while (j > 0 && index.dateTime[j - 1] > dateTime) {
      index.folder[j] = index.folder[j - 1];
      index.record[j] = index.record[j - 1];
      index.dateTime[j] = index.dateTime[j - 1];
      --j;
    }
    index.folder[j] = folder;
    index.record[j] = record;
    index.dateTime[j] = dateTime;
  }
}

}  // namespace orti
