#include "archive/archive_server.h"

#include <libpq-fe.h>

#include <cstdlib>

namespace orti {
namespace {
constexpr const char* kPasswordRefused =
    "Строка подключения к серверу архива содержит пароль и не принята. "
    "Пароль храните в файле ~/.pgpass (или в файле, названном PGPASSFILE), параметры "
    "подключения можно собрать в файле служб (service=имя, ~/.pg_service.conf), "
    "а вход по сертификату задают sslmode=verify-full, sslcert и sslkey.";
constexpr const char* kNotUnderstood = "Строка подключения к серверу архива не понята: ";
}  // namespace

std::string ChooseServer(const ServerSources& sources) {
  if (sources.option) return *sources.option;
  if (sources.variable) return *sources.variable;
  return sources.settings;
}

std::string ServerRefusal(const std::string& conninfo) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
  if (!options) {
    std::string reason = error ? error : "";
    PQfreemem(error);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    return kNotUnderstood + reason;
  }
  bool password = false;
  for (const PQconninfoOption* o = options; o->keyword; ++o) {
    // A URI's "user:secret@" arrives here as the password keyword too.
    if (std::string(o->keyword) == "password" && o->val && *o->val) password = true;
  }
  PQconninfoFree(options);
  return password ? kPasswordRefused : std::string();
}

std::optional<std::string> ServerVariable() {
  const char* value = std::getenv(kServerVariable);
  if (!value) return std::nullopt;
  return std::string(value);
}

}  // namespace orti
