#pragma once
// `orti415-cli archive ...`: the archive searched, exported, imported into
// and copied without an instrument.

#include <ostream>

#include "cli/cli_options.h"
#include "cli/cli_session.h"

namespace orti::cli {

int RunArchiveCommand(const CliOptions& options, CliEnvironment& environment, std::ostream& out,
                      std::ostream& err);

}  // namespace orti::cli
