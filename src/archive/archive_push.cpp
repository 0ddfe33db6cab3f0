#include "archive/archive_push.h"

#include <optional>
#include <vector>

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
  // In the order they happened, so that the server ends as the workstation
  // did: a change marks measurements an earlier reading brought, and a later
  // reading that finds a removed record again (after a restore) unmarks it.
  const std::vector<int64_t> readings = local.UnsentIds(UnsentKind::kReading);
  const std::vector<int64_t> changes = local.UnsentIds(UnsentKind::kChange);
  std::optional<SentReading> reading;
  std::optional<InstrumentChange> change;
  for (size_t r = 0, c = 0; r < readings.size() || c < changes.size();) {
    if (!reading && r < readings.size()) reading = local.ReadingToSend(readings[r]);
    if (!change && c < changes.size()) change = local.ChangeToSend(changes[c]);
    if (reading && (!change || reading->readAt <= change->at)) {
      Retrying([&] { server.ReceiveReading(*reading); });
      confirmed(UnsentKind::kReading, readings[r++]);
      ++result.readings;
      result.measurements += static_cast<int64_t>(reading->records.size());
      reading.reset();
    } else {
      Retrying([&] { server.ReceiveChange(*change); });
      confirmed(UnsentKind::kChange, changes[c++]);
      ++result.changes;
      change.reset();
    }
  }
  return result;
}

}  // namespace orti
