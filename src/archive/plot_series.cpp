#include "archive/plot_series.h"

#include <unordered_map>

namespace orti {
namespace {

double ValueOf(const Measurement& m, PlotValue value) {
  switch (value) {
    case PlotValue::kPh:
      return m.ph;
    case PlotValue::kPh25:
      return m.ph25;
    case PlotValue::kTemperature:
      return m.temperature;
    case PlotValue::kEmf:
      return m.emf;
  }
  return 0;
}

}  // namespace

std::vector<PlotSeries> BuildPlotSeries(const std::vector<Measurement>& measurements,
                                        PlotValue value) {
  std::vector<PlotSeries> series;
  std::unordered_map<std::string, size_t> byFolder;
  for (const Measurement& m : measurements) {
    auto [it, added] = byFolder.emplace(m.folderName, series.size());
    if (added) series.push_back({m.folderName, {}});
    series[it->second].points.push_back({m.taken, ValueOf(m, value)});
  }
  return series;
}

}  // namespace orti
