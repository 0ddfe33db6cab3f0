#pragma once
// PLACEHOLDER until the engine branch lands (declarations as agreed).
#include <cstdint>

#include "archive/archive_store.h"

namespace orti {
struct PushResult {
  int64_t readings = 0, measurements = 0, changes = 0;
};
PushResult PushArchive(ArchiveStore& local, ArchiveStore& server);
}  // namespace orti
