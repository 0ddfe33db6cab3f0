#pragma once
// The lab's archive on a PostgreSQL server, shared by every workstation.

#include <memory>
#include <string>

#include "archive/archive_store.h"

namespace orti {

// Connects (connect_timeout 3 s unless the string sets one), brings the schema up to date
// under an advisory lock (a newer schema: read-only). Throws ArchiveError.
std::unique_ptr<ArchiveStore> OpenServerArchive(const std::string& conninfo);

// The schema version the server's archive has reached, without changing it;
// 0 for a database no console has used yet.
int ArchiveSchemaVersionOf(const std::string& conninfo);

}  // namespace orti
