#pragma once
// A private PostgreSQL 15 for one test (or benchmark) program: its own data
// folder, socket folder and port, trusted on the socket only, never the
// cluster the package sets up. Stopped and removed with the object.

#include <string>

namespace orti::test {

class PgServer {
 public:
  // Throws std::runtime_error with the server's log when it cannot start.
  // `durable`: fsync as a lab server would; tests go faster without.
  explicit PgServer(bool durable = false);
  ~PgServer();
  PgServer(const PgServer&) = delete;
  PgServer& operator=(const PgServer&) = delete;

  // libpq keywords for `database`.
  std::string ConnInfo(const std::string& database = "postgres") const;
  // The same as a postgresql:// address.
  std::string Address(const std::string& database) const;
  // A database of its own, so that tests do not see each other's rows; its
  // name is the last keyword of the string.
  std::string NewDatabase();

  // Stops at once, as a crash or a pulled cable would; Start brings it back.
  void Stop();
  void Start();

 private:
  void Run(const std::string& command) const;

  std::string folder_, data_;
  int port_ = 0;
  int databases_ = 0;
};

// The program's server, started at first use.
PgServer& SharedPgServer();

}  // namespace orti::test
