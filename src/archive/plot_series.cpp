#include "archive/plot_series.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <unordered_map>

#include "platform/date_time.h"

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

class SeriesBuilder {
 public:
  explicit SeriesBuilder(PlotValue value) : value_(value) {}
  void Add(const Measurement& m) {
    auto [it, added] = byFolder_.emplace(m.folderName, series_.size());
    if (added) series_.push_back({m.folderName, {}});
    series_[it->second].points.push_back({m.taken, ValueOf(m, value_)});
  }
  std::vector<PlotSeries> Take() { return std::move(series_); }

 private:
  PlotValue value_;
  std::vector<PlotSeries> series_;
  std::unordered_map<std::string, size_t> byFolder_;
};

bool Before(const PlotPoint& p, double taken) {
  return p.taken < taken;
}

}  // namespace

std::vector<PlotSeries> BuildPlotSeries(const std::vector<Measurement>& measurements,
                                        PlotValue value) {
  SeriesBuilder builder(value);
  for (const Measurement& m : measurements) builder.Add(m);
  return builder.Take();
}

std::vector<PlotSeries> LoadPlotSeries(const ArchiveStore& store, const ArchiveFilter& filter,
                                       PlotValue value) {
  SeriesBuilder builder(value);
  store.Scan(filter, std::nullopt, [&builder](const Measurement& m) {
    builder.Add(m);
    return true;
  });
  return builder.Take();
}

std::vector<PlotPoint> ReducePoints(const std::vector<PlotPoint>& points, double from, double to,
                                    int columns) {
  const auto begin = std::lower_bound(points.begin(), points.end(), from, Before);
  const auto end = std::upper_bound(points.begin(), points.end(), to,
                                    [](double t, const PlotPoint& p) { return t < p.taken; });
  std::vector<PlotPoint> kept;
  if (begin != points.begin()) kept.push_back(*(begin - 1));
  const double width = to > from ? (to - from) / std::max(1, columns) : 1;
  for (auto it = begin; it != end;) {
    const double column = std::floor((it->taken - from) / width);
    auto first = it, low = it, high = it, last = it;
    for (++it; it != end && std::floor((it->taken - from) / width) == column; ++it) {
      if (it->value < low->value) low = it;
      if (it->value > high->value) high = it;
      last = it;
    }
    // In date order, each point once.
    const std::vector<PlotPoint>::const_iterator chosen[] = {first, std::min(low, high),
                                                             std::max(low, high), last};
    for (size_t i = 0; i < std::size(chosen); ++i) {
      if (i == 0 || chosen[i] != chosen[i - 1]) kept.push_back(*chosen[i]);
    }
  }
  if (end != points.end()) kept.push_back(*end);
  return kept;
}

std::optional<PlotPoint> NearestPoint(const std::vector<PlotPoint>& points, double taken) {
  if (points.empty()) return std::nullopt;
  const auto after = std::lower_bound(points.begin(), points.end(), taken, Before);
  if (after == points.begin()) return *after;
  if (after == points.end()) return points.back();
  const auto before = after - 1;
  return taken - before->taken <= after->taken - taken ? *before : *after;
}

namespace {

// Ticks every `step` days from a multiple of it (plus `offset`) until `last` is covered.
std::vector<double> EvenTicks(double first, double last, double step, double offset) {
  std::vector<double> ticks;
  const double start = std::floor((first - offset) / step + 1e-9);
  for (double k = start;; ++k) {
    ticks.push_back(k * step + offset);
    if (ticks.back() >= last - 1e-9) break;
  }
  return ticks;
}

// Ticks on the first day of every `months`-th month (January counting as 0).
std::vector<double> MonthTicks(double first, double last, int months) {
  const CivilDateTime from = DecodeDateTime(first);
  int index = from.year * 12 + from.month - 1;
  index -= index % months;
  std::vector<double> ticks;
  for (;; index += months) {
    ticks.push_back(EncodeDate(index / 12, index % 12 + 1, 1));
    if (ticks.back() >= last) break;
  }
  return ticks;
}

}  // namespace

TimeTicks RoundTimeTicks(double first, double last, int maxTicks) {
  constexpr double kMinute = 1.0 / 1440;
  constexpr double kMonday = 2;  // 1 January 1900, day 2, was a Monday
  struct Step {
    double days;  // 0: `months` instead
    int months;
  };
  constexpr Step kSteps[] = {
      {kMinute, 0},
      {5 * kMinute, 0},
      {15 * kMinute, 0},
      {30 * kMinute, 0},
      {1.0 / 24, 0},
      {1.0 / 8, 0},
      {1.0 / 4, 0},
      {1.0 / 2, 0},
      {1, 0},
      {2, 0},
      {7, 0},
      {14, 0},
      {0, 1},
      {0, 2},
      {0, 3},
      {0, 6},
      {0, 12},
      {0, 24},
      {0, 60},
      {0, 120},
  };
  if (last <= first) last = first + kMinute;
  TimeTicks ticks;
  for (const Step& step : kSteps) {
    ticks.at = step.days > 0 ? EvenTicks(first, last, step.days, step.days >= 7 ? kMonday : 0)
                             : MonthTicks(first, last, step.months);
    ticks.days = step.days == 0 || step.days >= 1;
    if (static_cast<int>(ticks.at.size()) <= std::max(2, maxTicks)) break;
  }
  return ticks;
}

}  // namespace orti
