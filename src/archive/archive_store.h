#pragma once
// The lab's archive of every measurement the console has read or imported,
// as the console, the command line and the history page use it, whatever
// engine keeps it. Every method throws ArchiveError when the engine fails.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/measurement.h"
#include "archive/sent_reading.h"
#include "model/instrument_change.h"

namespace orti {

class ArchiveStore {
 public:
  virtual ~ArchiveStore() = default;

  // An archive of a newer schema is only read, never altered.
  virtual bool ReadOnly() const = 0;

  // Adds a reading in one transaction. A measurement already archived (same
  // instrument, bytes and copy) only gets the reading as its last one, its
  // folder name and position; a new one takes an imported line of the same
  // measurement if there is one, else it is added. A measurement that cannot
  // be added is skipped and named in the result; the others are kept.
  virtual ReadingAdded AddReading(const Reading& reading, double now) = 0;

  // Each shown measurement the filter selects, in date order, starting after
  // `after` when given, until `each` returns false. The measurement handed to
  // `each` is reused for the next one.
  virtual void Scan(const ArchiveFilter& filter, const std::optional<ArchiveCursor>& after,
                    const std::function<bool(const Measurement&)>& each) const = 0;
  virtual ArchiveStats Stats() const = 0;

  // Adds the lines that no archived measurement matches as one batch, none
  // when nothing is added; returns the lines added.
  virtual int64_t Import(const std::string& file, const std::vector<Measurement>& lines, double now,
                         int64_t* batchId = nullptr) = 0;
  virtual std::vector<ImportBatch> Imports() const = 0;
  // False when there is no such batch.
  virtual bool ForgetImport(int64_t batchId) = 0;

  // Appends a change (never updates one); when it is done and removed records, the archived
  // measurements of those bytes on that instrument are marked removed by it. Returns its id.
  virtual int64_t AddChange(const InstrumentChange& change) = 0;
  // Changes the filter selects, oldest first, until `each` returns false.
  virtual void ScanChanges(const ChangeFilter& filter,
                           const std::function<bool(const InstrumentChange&)>& each) const = 0;
  virtual void SetLabName(const std::vector<uint8_t>& identity, const std::string& name) = 0;
  virtual std::vector<InstrumentName> Instruments() const = 0;

  // A consistent copy into a local file, even while others write.
  virtual void Backup(const std::string& target) const = 0;

  // Store and forward. A workstation's archive lists each reading and change
  // it adds until a server has confirmed it; a server's lists nothing.
  virtual Waiting Unsent() const = 0;
  // Local ids of what waits, oldest first.
  virtual std::vector<int64_t> UnsentIds(UnsentKind kind) const = 0;
  // A waiting reading as a push sends it; one archived before readings had
  // origins gets its origin now, kept for every later attempt.
  virtual SentReading ReadingToSend(int64_t id) = 0;
  virtual InstrumentChange ChangeToSend(int64_t id) const = 0;
  virtual void MarkSent(UnsentKind kind, int64_t id) = 0;
  // A pushed reading or change, in one transaction; false when this archive
  // already has it (same origin) and nothing was done.
  virtual bool ReceiveReading(const SentReading& reading) = 0;
  virtual bool ReceiveChange(const InstrumentChange& change) = 0;

  // Every measurement the filter selects, in date order.
  std::vector<Measurement> Query(const ArchiveFilter& filter) const;
  // At most `limit` of them, after `after` when given.
  std::vector<Measurement> Page(const ArchiveFilter& filter,
                                const std::optional<ArchiveCursor>& after, size_t limit) const;

 protected:
  // Scan, told that `each` stops after `limit` rows, so that an engine can
  // stop fetching there.
  virtual void ScanUpTo(const ArchiveFilter& filter, const std::optional<ArchiveCursor>& after,
                        size_t limit, const std::function<bool(const Measurement&)>& each) const;
};

}  // namespace orti
