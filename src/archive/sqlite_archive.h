#pragma once
// The archive in an SQLite file in WAL mode, shared safely by several
// consoles on one computer (they wait for each other up to the busy timeout).
// What it adds waits there for a push to the lab's server.

#include <string>

#include "archive/sql_archive.h"

namespace orti {

constexpr int kArchiveBusyTimeoutMs = 5000;

class SqliteArchive final : public SqlArchive {
 public:
  // Opens or creates the file and brings its schema up to date. A file of a
  // newer schema is opened read-only and never altered.
  explicit SqliteArchive(const std::string& path, int busyTimeoutMs = kArchiveBusyTimeoutMs);
};

}  // namespace orti
