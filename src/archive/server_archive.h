#pragma once
// PLACEHOLDER until the engine branch lands (declarations as agreed).
#include <memory>
#include <string>

#include "archive/archive_store.h"

namespace orti {
std::unique_ptr<ArchiveStore> OpenServerArchive(const std::string& conninfo);
}  // namespace orti
