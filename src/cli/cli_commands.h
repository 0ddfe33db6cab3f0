#pragma once
// The commands of orti415-cli: each drives the console's own workflows and
// turns their outcome into an exit status.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_dialogs.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "platform/port_map.h"
#include "settings/operators.h"

namespace orti::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;   // instrument not found, or a request failed
constexpr int kExitRefused = 2;  // usage error or refused input

// The row `identify` adds after the identity: the turnaround measured.
constexpr const char* kTurnaroundLabel = "Задержка ответа прибора";

// "Surname Name Patronymic": the first two words, then the rest as the
// patronymic. Nothing when a part would be refused on the settings page.
std::optional<OperatorParts> SplitOperatorName(const std::string& name);

// Rows 1..count of a view: the rows of its first `count` records.
std::vector<int> FirstRows(size_t count);

// Exports `rows` of the view to `file`; the exit status of the export.
int ExportToFile(const StringGrid& view, const std::vector<int>& rows, const std::string& file,
                 CliSession& session, CliDialogs& dialogs);

// The view's record rows as export lines without the operator, one per line.
void PrintRecordRows(const NotepadModel& model, ViewKind view, const StringGrid& grid,
                     std::ostream& out);

int RunCommand(const CliOptions& options, CliEnvironment& environment, const PortMap& ports,
               std::ostream& out, std::ostream& err);

}  // namespace orti::cli
