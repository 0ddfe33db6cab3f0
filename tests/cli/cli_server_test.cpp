// A lab's archive server end to end: orti415-cli processes on several
// workstations reading simulated instruments over pseudo-terminals and
// forwarding to a PostgreSQL server of the test's own.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "sim/sim_process.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace orti::cli {
namespace {

constexpr const char* kSmallNotepad = "62464";  // three folders

// One workstation: its program folder and archive, and the instrument on its line.
struct Workstation {
  Workstation(int seed, int number)
      : name("ws" + std::to_string(number)),
        sim(ORTI415_SIM_PATH, {"--seed", std::to_string(seed), "--notepad-address", kSmallNotepad,
                               "--link", dir.File("orti")}) {
    EXPECT_FALSE(sim.FirstLine().empty());
  }

  pid_t Start(const Lines& args) {
    return StartCliProgram(args, "1=" + dir.File("orti"), dir, {{"ORTI415_WORKSTATION", name}});
  }
  CliRun Run(const Lines& args) { return FinishCliProgram(Start(args), dir); }

  test::TempDir dir;
  std::string name;
  sim::SimProcess sim;
};

// "Измерений\tN" of `archive stats`.
long Measurements(const CliRun& stats) {
  const std::string key = "Измерений\t";
  const size_t at = stats.out.find(key);
  return at == std::string::npos ? -1 : std::stol(stats.out.substr(at + key.size()));
}

TEST(CliOnServer, FourWorkstationsOnTwoInstrumentsStoreEachMeasurementOnce) {
  test::PgServer& pg = test::SharedPgServer();
  const std::string server = pg.ConnInfo(pg.NewDatabase());
  std::vector<std::unique_ptr<Workstation>> stations;
  for (int i = 0; i < 4; ++i) stations.push_back(std::make_unique<Workstation>(i < 2 ? 3 : 11, i));

  // Two workstations prepare the server at once: one migrates, the other waits and finds it done.
  const pid_t first = stations[0]->Start({"--server", server, "archive", "init"});
  const pid_t second = stations[1]->Start({"--server", server, "archive", "init"});
  for (const CliRun& init :
       {FinishCliProgram(first, stations[0]->dir), FinishCliProgram(second, stations[1]->dir)}) {
    EXPECT_EQ(init.status, 0) << init.err;
  }

  std::vector<pid_t> readers;
  for (auto& s : stations) readers.push_back(s->Start({"--fast", "--server", server, "read"}));
  for (size_t i = 0; i < stations.size(); ++i) {
    const CliRun run = FinishCliProgram(readers[i], stations[i]->dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("Ждут отправки"), std::string::npos) << run.err;
  }

  std::vector<long> local;
  for (auto& s : stations)
    local.push_back(Measurements(s->Run({"--server", "", "archive", "stats"})));
  EXPECT_GT(local[0], 0);
  EXPECT_EQ(local[0], local[1]);
  EXPECT_EQ(local[2], local[3]);
  EXPECT_EQ(Measurements(stations[0]->Run({"--server", server, "archive", "stats"})),
            local[0] + local[2]);

  // A deletion from a workstation of each instrument: the lab's audit names both.
  for (int i : {0, 2}) {
    const CliRun deletion = stations[i]->Run({"--fast", "--server", server, "delete", "0:0"});
    ASSERT_EQ(deletion.status, 0) << deletion.err;
  }
  const CliRun audit = stations[1]->Run({"--server", server, "archive", "audit"});
  ASSERT_EQ(audit.status, 0) << audit.err;
  EXPECT_EQ(audit.err, "");
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = audit.out.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(audit.out.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 2u) << audit.out;
  EXPECT_NE(lines[0].find("\tws0\t"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("\tws2\t"), std::string::npos) << lines[1];
  const CliRun removed = stations[3]->Run({"--server", server, "archive", "list", "--removed"});
  EXPECT_EQ(std::count(removed.out.begin(), removed.out.end(), '\n'), 2) << removed.out;
}

TEST(CliOnServer, ReadingsWhileTheServerIsDownArePushedOnceLater) {
  test::PgServer& pg = test::SharedPgServer();
  const std::string server = pg.ConnInfo(pg.NewDatabase());
  Workstation station(5, 1);
  ASSERT_EQ(station.Run({"--server", server, "archive", "init"}).status, 0);

  pg.Stop();
  const CliRun read = station.Run({"--fast", "--server", server, "read"});
  EXPECT_EQ(read.status, 0) << read.err;  // the reading goes on
  EXPECT_NE(read.err.find("Ждут отправки измерений: "), std::string::npos) << read.err;
  const CliRun unreachable = station.Run({"--server", server, "archive", "push"});
  EXPECT_EQ(unreachable.status, 1);
  // Listing falls back to the local file and says so.
  const CliRun fallback = station.Run({"--server", server, "archive", "list"});
  EXPECT_EQ(fallback.status, 0);
  EXPECT_NE(fallback.err.find("показан локальный архив"), std::string::npos) << fallback.err;

  pg.Start();
  const CliRun push = station.Run({"--server", server, "archive", "push"});
  ASSERT_EQ(push.status, 0) << push.err;
  EXPECT_NE(push.out.find("Отправлено: чтений 1,"), std::string::npos) << push.out;
  EXPECT_NE(push.out.find("Ждут отправки измерений: 0"), std::string::npos) << push.out;
  const CliRun again = station.Run({"--server", server, "archive", "push"});
  EXPECT_NE(again.out.find("Отправлено: чтений 0, измерений 0"), std::string::npos) << again.out;

  const CliRun onServer = station.Run({"--server", server, "archive", "list"});
  const CliRun onFile = station.Run({"--server", "", "archive", "list"});
  EXPECT_EQ(onServer.err, "");
  EXPECT_FALSE(onFile.out.empty());
  EXPECT_EQ(onServer.out, onFile.out);
}

}  // namespace
}  // namespace orti::cli
