#pragma once
// Store and forward: a workstation's archive sends what it holds to the
// lab's server, reading by reading, so that a cut at any point loses and
// doubles nothing.

#include <cstdint>
#include <functional>

#include "archive/archive_store.h"

namespace orti {

struct PushResult {
  int64_t readings = 0, measurements = 0, changes = 0;
};

// For tests: called after the server committed an item and before the
// workstation marks it sent.
struct PushProbe {
  std::function<void()> afterServerCommit;
};

// Sends local's unsent readings and changes to the server, oldest first, each in one
// transaction on the server, idempotently (what the server has already is not added again);
// marks each sent once the server committed it. Throws ArchiveError at the first failure,
// leaving the rest unsent.
PushResult PushArchive(ArchiveStore& local, ArchiveStore& server, const PushProbe& probe = {});

}  // namespace orti
