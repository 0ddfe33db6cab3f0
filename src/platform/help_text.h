#pragma once
// The environment variables and files of the console and orti415-cli, said
// once for both programs' --help. The man pages and the README say the same;
// a test checks every name the sources pass to getenv against all of them.

#include <string>

namespace orti {

enum class HelpFor { kConsole, kCommandLine };

// "Environment:" and "Files:" with the rule that picks the program folder.
std::string EnvironmentAndFilesHelp(HelpFor program);

}  // namespace orti
