#include "server_reading.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "archive/archive_keeper.h"
#include "paced_reading.h"
#include "quiet_services.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace orti::bench {
namespace {

// The console's runner without Qt: the push on a thread of its own, what
// follows it once the reading has been timed.
class ThreadRunner final : public BackgroundRunner {
 public:
  ~ThreadRunner() override { Finish(); }
  void Run(std::function<void()> work, std::function<void()> done) override {
    Finish();
    done_ = std::move(done);
    thread_ = std::thread(std::move(work));
  }
  void Finish() {
    if (!thread_.joinable()) return;
    thread_.join();
    auto done = std::move(done_);
    done_ = nullptr;
    if (done) done();
  }

 private:
  std::thread thread_;
  std::function<void()> done_;
};

// A port that takes connections (the kernel's backlog) and never answers.
class SilentServer {
 public:
  SilentServer() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd_, reinterpret_cast<sockaddr*>(&address), size);
    listen(fd_, 16);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() { close(fd_); }
  std::string ConnInfo() const {
    return "host=127.0.0.1 port=" + std::to_string(port_) + " dbname=orti415";
  }

 private:
  int fd_;
  int port_ = 0;
};

}  // namespace

void RunServerReadings(const std::string& simPath, int folders) {
  test::PgServer pg(true);
  SilentServer silent;
  struct Case {
    const char* name;
    std::string server;
  } cases[] = {{"local file only", ""},
               {"server reachable", pg.ConnInfo(pg.NewDatabase())},
               {"server not answering", silent.ConnInfo()}};
  std::printf("Reading with the lab's server configured (%d folders, normal, turnaround 0)\n",
              folders);
  double base = 0;
  for (const Case& c : cases) {
    test::TempDir dir;
    NoLog log;
    NoDialogs dialogs;
    ArchiveKeeper keeper(dir.File("a.sqlite"), log, [&]() -> Dialogs& { return dialogs; });
    ThreadRunner runner;
    keeper.SetRunner(&runner);
    keeper.SetServer(c.server);
    const PacedReadingResult r =
        RunPacedReading(simPath, folders, false, std::chrono::milliseconds(0), &keeper);
    const auto pushStarted = std::chrono::steady_clock::now();
    runner.Finish();
    const double pushMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - pushStarted)
            .count();
    const double wall = static_cast<double>(r.wall.count());
    if (base == 0) base = wall;
    std::printf(
        "  %-22s %s  reading %.2f s  x %.4f  push after it %.0f ms  waiting %lld\n", c.name,
        r.ok ? "ok" : r.error.c_str(), wall / 1000.0, wall / base, pushMs,
        static_cast<long long>(keeper.Store() ? keeper.Store()->Unsent().measurements : -1));
    std::fflush(stdout);
  }
}

}  // namespace orti::bench
