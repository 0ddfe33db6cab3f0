#pragma once
// What the history page plots: one value of each measurement against its
// date, one series per folder name; and what of a series the pixels can show.

#include <optional>
#include <string>
#include <vector>

#include "archive/archive_store.h"

namespace orti {

enum class PlotValue { kPh, kPh25, kTemperature, kEmf };

// The axis title of each value, in the order of PlotValue.
constexpr const char* kPlotValueTitles[] = {"pH", "pH25", "T (C)", "ЭДС (мВ)"};

struct PlotPoint {
  double taken;  // days since 30 December 1899
  double value;
};

struct PlotSeries {
  std::string folderName;
  std::vector<PlotPoint> points;  // in date order
};

// Series in the order their folders first appear.
std::vector<PlotSeries> BuildPlotSeries(const std::vector<Measurement>& measurements,
                                        PlotValue value);
// The same for every measurement the filter selects, read as a stream.
std::vector<PlotSeries> LoadPlotSeries(const ArchiveStore& store, const ArchiveFilter& filter,
                                       PlotValue value);

// The points of [from, to] that `columns` pixel columns can show: in each
// column the first, lowest, highest and last point, in date order, plus the
// nearest point on either side so that the line runs on past the edges.
// Every point returned is a measurement.
std::vector<PlotPoint> ReducePoints(const std::vector<PlotPoint>& points, double from, double to,
                                    int columns);

// The measurement of the series taken nearest to `taken`.
std::optional<PlotPoint> NearestPoint(const std::vector<PlotPoint>& points, double taken);

// Ticks of a date axis on round steps that cover [first, last] with at most
// `maxTicks` ticks: minutes, hours, days, weeks from Monday, months from the
// first, years.
struct TimeTicks {
  std::vector<double> at;  // days since 30 December 1899, ascending
  bool days = true;        // a day or longer apart: no time of day in the labels
};
TimeTicks RoundTimeTicks(double first, double last, int maxTicks);

}  // namespace orti
