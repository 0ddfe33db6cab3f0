#include "support/pg_server.h"

#include <libpq-fe.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace orti::test {
namespace {

constexpr const char* kBin = "/usr/lib/postgresql/15/bin/";
constexpr const char* kServerUser = "postgres";
// Short, under /tmp: a socket's path is limited to 107 bytes.
constexpr const char* kTempFolder = "/tmp";
constexpr const char* kFolderPrefix = "orti-pg-";
constexpr const char* kOwnerFile = "/owner";

// Runs `command` through the shell, as the server's own user when this is
// root (the server refuses to run as root); false when it failed.
bool Shell(const std::string& command) {
  const bool asServer = geteuid() == 0 && command.rfind("chown", 0) != 0;
  const std::string line =
      asServer ? std::string("runuser -u ") + kServerUser + " -- sh -c '" + command + "'" : command;
  return std::system(line.c_str()) == 0;
}

// Servers of test programs that ended without stopping them (killed at a
// timeout, crashed) are stopped and removed, so that they do not pile up.
void RemoveOrphans() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(kTempFolder, ec)) {
    const std::string folder = entry.path().string();
    if (entry.path().filename().string().rfind(kFolderPrefix, 0) != 0) continue;
    pid_t owner = 0;
    std::ifstream(folder + kOwnerFile) >> owner;
    if (owner <= 0 || kill(owner, 0) == 0 || errno != ESRCH) continue;
    Shell(std::string(kBin) + "pg_ctl -D " + folder +
          "/data -m immediate -w stop > /dev/null 2>&1");
    std::filesystem::remove_all(folder, ec);
  }
}

// A port nobody listens on now (the server itself listens on its socket only,
// whose name carries the port).
int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    if (s >= 0) close(s);
    throw std::runtime_error("no free port");
  }
  close(s);
  return ntohs(address.sin_port);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

PgServer::PgServer(bool durable) {
  RemoveOrphans();
  std::string pattern = std::string(kTempFolder) + "/" + kFolderPrefix + "XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder for the server");
  folder_ = pattern;
  std::ofstream(folder_ + kOwnerFile) << getpid();
  data_ = folder_ + "/data";
  port_ = FreePort();
  // Reachable by the test (root) and writable by the server's own user.
  chmod(folder_.c_str(), 0755);
  if (geteuid() == 0) Run(std::string("chown ") + kServerUser + " " + folder_);
  Run(std::string(kBin) + "initdb -D " + data_ + " -U postgres -A trust --no-sync -E UTF8 " +
      "--locale=C.UTF-8 > " + folder_ + "/initdb.log 2>&1");
  {
    std::ofstream hba(data_ + "/pg_hba.conf", std::ios::trunc);
    hba << "local all all trust\n";
    std::ofstream conf(data_ + "/postgresql.conf", std::ios::app);
    conf << "listen_addresses = ''\nunix_socket_directories = '" << folder_ << "'\nport = " << port_
         << "\nmax_connections = 40\nshared_buffers = 32MB\n";
    // Without fsync a crash of the server keeps what it committed; only the
    // machine's crash would not.
    if (!durable) conf << "fsync = off\nfull_page_writes = off\n";
  }
  if (geteuid() == 0) Run(std::string("chown -R ") + kServerUser + " " + data_);
  Start();
}

PgServer::~PgServer() {
  try {
    Stop();
  } catch (const std::exception&) {
    // Already stopped.
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void PgServer::Run(const std::string& command) const {
  if (!Shell(command)) {
    throw std::runtime_error("PostgreSQL command failed: " + command + "\n" +
                             ReadAll(folder_ + "/initdb.log") + ReadAll(folder_ + "/server.log"));
  }
}

void PgServer::Start() {
  Run(std::string(kBin) + "pg_ctl -D " + data_ + " -l " + folder_ + "/server.log -w -t 30 start" +
      " > /dev/null");
}

void PgServer::Stop() {
  Run(std::string(kBin) + "pg_ctl -D " + data_ + " -m immediate -w stop > /dev/null");
}

std::string PgServer::ConnInfo(const std::string& database) const {
  return "host=" + folder_ + " port=" + std::to_string(port_) + " user=postgres dbname=" + database;
}

std::string PgServer::Address(const std::string& database) const {
  return "postgresql://postgres@/" + database + "?host=" + folder_ +
         "&port=" + std::to_string(port_);
}

std::string PgServer::NewDatabase() {
  const std::string name = "t" + std::to_string(++databases_);
  std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectdb(ConnInfo().c_str()), PQfinish);
  if (PQstatus(conn.get()) != CONNECTION_OK) {
    throw std::runtime_error(std::string("server not reachable: ") + PQerrorMessage(conn.get()));
  }
  PGresult* result = PQexec(conn.get(), ("CREATE DATABASE " + name).c_str());
  const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
  PQclear(result);
  if (!done) throw std::runtime_error(std::string("no database: ") + PQerrorMessage(conn.get()));
  return ConnInfo(name);
}

PgServer& SharedPgServer() {
  static PgServer server;
  return server;
}

}  // namespace orti::test
