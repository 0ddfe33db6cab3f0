#include "archive/archive_push.h"

#include "archive/sql_db.h"

namespace orti {
namespace {

// Pushers of overlapping readings may trip over each other on the server;
// the one the server gave up simply runs again.
constexpr int kConflictRetries = 5;

template <typename Send>
void Retrying(Send&& send) {
  for (int attempt = 1;; ++attempt) {
    try {
      send();
      return;
    } catch (const ArchiveConflict&) {
      if (attempt == kConflictRetries) throw;
    }
  }
}

}  // namespace

PushResult PushArchive(ArchiveStore& local, ArchiveStore& server, const PushProbe& probe) {
  PushResult result;
  auto confirmed = [&](UnsentKind kind, int64_t id) {
    if (probe.afterServerCommit) probe.afterServerCommit();
    local.MarkSent(kind, id);
  };
  // Readings first: a change marks measurements the server must already have.
  for (int64_t id : local.UnsentIds(UnsentKind::kReading)) {
    const SentReading reading = local.ReadingToSend(id);
    Retrying([&] { server.ReceiveReading(reading); });
    confirmed(UnsentKind::kReading, id);
    ++result.readings;
    result.measurements += static_cast<int64_t>(reading.records.size());
  }
  for (int64_t id : local.UnsentIds(UnsentKind::kChange)) {
    const InstrumentChange change = local.ChangeToSend(id);
    Retrying([&] { server.ReceiveChange(change); });
    confirmed(UnsentKind::kChange, id);
    ++result.changes;
  }
  return result;
}

}  // namespace orti
