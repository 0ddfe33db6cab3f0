// orti415-bench [--folders N] [--turnaround MS,...] [--no-reading] [--sim PATH]
//               [benchmark options]
// orti415-bench --build-archive FILE [--measurements N]
// orti415-bench --server-reading [--folders N]
//
// First timed readings of a generated N-folder notepad (default 100) from
// orti415-sim --pace over a pseudo-terminal, normal and fast, for each
// instrument turnaround given (default 0 ms), then one
// full-folder rewrite with its read-back, then the in-memory view rebuild
// benchmarks. The reading at real pacing takes minutes for 100 folders.
// --build-archive only adds N measurements (default a million, a year of a
// busy lab) to the archive FILE and ends. --server-reading only times one
// reading each with the archive's file alone, a reachable lab server and one
// that does not answer.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive_bench.h"
#include "device/device_link.h"
#include "paced_reading.h"
#include "paced_rewrite.h"
#include "server_reading.h"

namespace {

constexpr int kMaxFolders = 100;

struct Options {
  int folders = kMaxFolders;
  std::vector<int> turnarounds{0};
  bool reading = true;
  bool serverReading = false;  // --server-reading: only that
  std::string simPath = ORTI415_SIM_PATH;
  std::string archive;  // --build-archive: only that
  int measurements = 1000000;
};

// Takes our options out of argv and leaves the rest to the benchmark library.
bool TakeOptions(int& argc, char** argv, Options& options) {
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--folders" && i + 1 < argc) {
      options.folders = std::atoi(argv[++i]);
      if (options.folders < 1 || options.folders > kMaxFolders) {
        std::fprintf(stderr, "--folders: 1 to %d\n", kMaxFolders);
        return false;
      }
    } else if (arg == "--turnaround" && i + 1 < argc) {
      // Milliseconds, one reading pair each: "0,100,500".
      options.turnarounds.clear();
      for (const char* p = argv[++i]; *p;) {
        char* end = nullptr;
        const long ms = std::strtol(p, &end, 10);
        if (end == p || ms < 0 || ms > 60000 || (*end != ',' && *end != '\0')) {
          std::fprintf(stderr, "--turnaround: milliseconds, comma-separated\n");
          return false;
        }
        options.turnarounds.push_back(static_cast<int>(ms));
        p = *end ? end + 1 : end;
      }
    } else if (arg == "--server-reading") {
      options.serverReading = true;
    } else if (arg == "--no-reading") {
      options.reading = false;
    } else if (arg == "--sim" && i + 1 < argc) {
      options.simPath = argv[++i];
    } else if (arg == "--build-archive" && i + 1 < argc) {
      options.archive = argv[++i];
    } else if (arg == "--measurements" && i + 1 < argc) {
      options.measurements = std::atoi(argv[++i]);
    } else {
      rest.push_back(argv[i]);
    }
  }
  argc = static_cast<int>(rest.size());
  for (int i = 0; i < argc; ++i) argv[i] = rest[i];
  return true;
}

void ReportReading(const orti::bench::PacedReadingResult& r) {
  const char* name = r.fastRead ? "fast" : "normal";
  if (!r.ok) {
    std::printf("paced reading (%s) failed: %s\n", name, r.error.c_str());
    return;
  }
  const long floorMs = static_cast<long>(r.exchanges) * orti::kPauseAfterWrite.count();
  const long wallMs = static_cast<long>(r.wall.count());
  const double lineMs = static_cast<double>(r.lineFloor.count());
  const double pausedMs = static_cast<double>(r.pausedFloor.count());
  std::printf("Paced reading over a pseudo-terminal (9600 baud), %s, turnaround %ld ms\n", name,
              static_cast<long>(r.turnaround.count()));
  std::printf("  folders            %d\n", r.folders);
  std::printf("  records decoded    %d\n", r.records);
  std::printf("  exchanges          %d (failed %d)\n", r.exchanges, r.failedRequests);
  std::printf("  wall time          %.2f s\n", wallMs / 1000.0);
  std::printf("  pacing floor       %.2f s (exchanges x %ld ms)\n", floorMs / 1000.0,
              static_cast<long>(orti::kPauseAfterWrite.count()));
  std::printf(
      "  line floor         %.2f s (per exchange: request + turnaround + reply, %ld "
      "characters at 11 bits / 9600)\n",
      lineMs / 1000.0, r.wireChars);
  std::printf("  paused line floor  %.2f s (per exchange: the larger of the pause and the line)\n",
              pausedMs / 1000.0);
  std::printf("  console pauses     %.2f s\n", r.slept.count() / 1000.0);
  std::printf("  wall / floor       %.3f\n", floorMs > 0 ? double(wallMs) / floorMs : 0.0);
  std::printf("  wall / line floor  %.3f\n", lineMs > 0 ? wallMs / lineMs : 0.0);
  std::printf("  wall / paused line %.3f\n", pausedMs > 0 ? wallMs / pausedMs : 0.0);
  std::fflush(stdout);
}

void ReportRewrite(const orti::bench::PacedRewriteResult& r) {
  if (!r.ok) {
    std::printf("paced rewrite failed: %s\n", r.error.c_str());
    return;
  }
  const long floorMs = static_cast<long>(r.exchanges) * orti::kPauseAfterWrite.count();
  const long wallMs = static_cast<long>(r.wall.count());
  std::printf("Full-folder rewrite with read-back over a pseudo-terminal (9600 baud)\n");
  std::printf("  records written    %d\n", r.records);
  std::printf("  exchanges          %d (failed %d)\n", r.exchanges, r.failedRequests);
  std::printf("  wall time          %.2f s (backup file included)\n", wallMs / 1000.0);
  std::printf("  pacing floor       %.2f s (exchanges x %ld ms)\n", floorMs / 1000.0,
              static_cast<long>(orti::kPauseAfterWrite.count()));
  std::printf("  wall / floor       %.3f\n", floorMs > 0 ? double(wallMs) / floorMs : 0.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!TakeOptions(argc, argv, options)) return 2;
  if (!options.archive.empty()) {
    orti::bench::BuildArchive(options.archive, options.measurements);
    return 0;
  }
  if (options.serverReading) {
    orti::bench::RunServerReadings(options.simPath, options.folders);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  if (options.reading) {
    for (int ms : options.turnarounds) {
      for (bool fast : {false, true}) {
        ReportReading(orti::bench::RunPacedReading(options.simPath, options.folders, fast,
                                                   std::chrono::milliseconds(ms)));
      }
    }
    ReportRewrite(orti::bench::RunPacedRewrite(options.simPath));
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
