#pragma once
// Which PostgreSQL server holds the lab's archive, if any: the command line's
// --server, else ORTI415_SERVER, else [Archive] Server= of orti415.ini. The
// value is a libpq connection string ("postgresql://..." or key=value words).
// Passwords never go into it: the settings file may be shared and command
// lines are visible to every user, so libpq's own files carry credentials.

#include <optional>
#include <string>

namespace orti {

constexpr const char* kServerVariable = "ORTI415_SERVER";

struct ServerSources {
  std::optional<std::string> option;  // --server, even when empty
  std::optional<std::string> variable;
  std::string settings;  // [Archive] Server=
};

// The connection string to use; empty: the archive is the local file only.
std::string ChooseServer(const ServerSources& sources);

// Why the string cannot be used, in the console's words; empty when it can.
std::string ServerRefusal(const std::string& conninfo);

// ORTI415_SERVER as set in the environment.
std::optional<std::string> ServerVariable();

}  // namespace orti
