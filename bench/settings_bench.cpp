// Loading a settings file of 4000 operators, as a lab that has kept every
// operator for years may have: the file is parsed once, each key a lookup.

#include <benchmark/benchmark.h>

#include <string>

#include "model/console_state.h"
#include "platform/profile_file.h"
#include "settings/operators.h"

namespace orti::bench {
namespace {

constexpr int kOperators = 4000;

std::string FourThousandOperators() {
  std::string file = "[Users]\r\nUsersCount=" + std::to_string(kOperators) + "\r\n";
  for (int i = 0; i < kOperators; ++i) {
    file += "User" + std::to_string(i) + "=Фамилия" + std::to_string(i) + "_Имя_Отчество\r\n";
  }
  file += "[Startpage]\r\nStartpage=2\r\nStartStyle=0\r\n";
  return file;
}

void BM_LoadFourThousandOperators(benchmark::State& state) {
  const std::string file = FourThousandOperators();
  for (auto _ : state) {
    ConsoleState console;
    OperatorTable table;
    LoadOperators(ProfileText(file), console, table);
    benchmark::DoNotOptimize(console.session.operators.size());
  }
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_LoadFourThousandOperators)->Unit(benchmark::kMillisecond);

void BM_SaveFourThousandOperators(benchmark::State& state) {
  const std::string file = FourThousandOperators();
  ConsoleState console;
  OperatorTable table;
  LoadOperators(ProfileText(file), console, table);
  for (auto _ : state) {
    ProfileText text(file);
    WriteOperators(console, text);
    benchmark::DoNotOptimize(text.Bytes().size());
  }
}
BENCHMARK(BM_SaveFourThousandOperators)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orti::bench
