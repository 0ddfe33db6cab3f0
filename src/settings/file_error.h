#pragma once
// The message the operator sees when a file of the console cannot be written.

#include <string>

#include "platform/atomic_file.h"
#include "platform/dialogs.h"

namespace orti {

void ReportWriteFailure(Dialogs& dialogs, const std::string& path, const FileResult& result);

}  // namespace orti
