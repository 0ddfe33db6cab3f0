#pragma once
// What the history page plots: one value of each measurement against its
// date, one series per folder name.

#include <string>
#include <vector>

#include "archive/measurement.h"

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
  std::vector<PlotPoint> points;  // in the order of the measurements
};

// Series in the order their folders first appear.
std::vector<PlotSeries> BuildPlotSeries(const std::vector<Measurement>& measurements,
                                        PlotValue value);

}  // namespace orti
