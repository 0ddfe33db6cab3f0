#pragma once
// Files installed with the programs, found from the running executable:
// <prefix>/bin/orti415 looks for <prefix>/share/doc/orti415/..., so a
// package in /usr, `cmake --install --prefix /usr/local` or a copy moved
// elsewhere all name the files where they really are.

#include <string>

namespace orti {

// The example udev rule seen from the programs' folder, as installed
// ("../share/doc/orti415/examples/60-orti415.rules").
extern const char* const kExampleRuleFromProgramFolder;

// The folder of the running executable, without a trailing '/'; empty when unknown.
std::string ExecutableFolder();

// `relative` taken from `folder`, normalised; empty when no regular file is there.
std::string InstalledFile(const std::string& folder, const std::string& relative);

// The example udev rule installed with this executable; empty when it was not
// installed (a build tree, or documentation left out of the installation).
std::string InstalledExampleRule();

}  // namespace orti
