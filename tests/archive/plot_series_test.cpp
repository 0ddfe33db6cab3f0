// What the plot draws of a long series: per pixel column its first, lowest,
// highest and last measurement, never a point that was not measured; and date
// axes on round steps.

#include "archive/plot_series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/date_time.h"

namespace orti {
namespace {

TEST(PlotSeries, EachColumnKeepsItsExtremesAndEveryPointKeptWasMeasured) {
  std::vector<PlotPoint> points;
  for (int i = 0; i < 100000; ++i) points.push_back({i / 1000.0, std::sin(i * 0.37) * (i % 97)});
  const std::vector<PlotPoint> kept = ReducePoints(points, 10, 60, 200);
  EXPECT_LE(kept.size(), 4u * 200 + 2);
  EXPECT_EQ(kept.front().taken, points[9999].taken);  // the line runs on past the left edge
  EXPECT_EQ(kept.back().taken, points[60001].taken);  // and past the right one
  EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end(), [](const PlotPoint& a, const PlotPoint& b) {
    return a.taken < b.taken;
  }));
  for (const PlotPoint& p : kept) {
    const auto at = std::lower_bound(points.begin(), points.end(), p.taken,
                                     [](const PlotPoint& q, double t) { return q.taken < t; });
    ASSERT_TRUE(at != points.end() && at->taken == p.taken && at->value == p.value);
  }
  // Column 0 covers [10, 10.25): its lowest and highest are among those kept.
  const auto column = [&](const PlotPoint& p) { return p.taken >= 10 && p.taken < 10.25; };
  double low = 1e9, high = -1e9, keptLow = 1e9, keptHigh = -1e9;
  for (const PlotPoint& p : points) {
    if (column(p)) low = std::min(low, p.value), high = std::max(high, p.value);
  }
  for (const PlotPoint& p : kept) {
    if (column(p)) keptLow = std::min(keptLow, p.value), keptHigh = std::max(keptHigh, p.value);
  }
  EXPECT_EQ(keptLow, low);
  EXPECT_EQ(keptHigh, high);
  // Fewer points than columns: all of them.
  EXPECT_EQ(ReducePoints({{1, 5}, {2, 6}, {3, 4}}, 0, 10, 800).size(), 3u);
}

TEST(PlotSeries, TheNearestMeasurementToThePointer) {
  const std::vector<PlotPoint> points{{1, 10}, {2, 20}, {4, 40}};
  EXPECT_EQ(NearestPoint(points, 0)->value, 10);
  EXPECT_EQ(NearestPoint(points, 2.9)->value, 20);
  EXPECT_EQ(NearestPoint(points, 3.1)->value, 40);
  EXPECT_EQ(NearestPoint(points, 9)->value, 40);
  EXPECT_FALSE(NearestPoint({}, 1));
}

TEST(PlotSeries, DateTicksFallOnRoundSteps) {
  const double day = EncodeDate(2026, 3, 4);  // a Wednesday
  struct Case {
    double first, last;
    int maxTicks;
    std::vector<const char*> ticks;
  } cases[] = {
      {day + 0.3, day + 0.7, 5, {"04.03 06", "04.03 09", "04.03 12", "04.03 15", "04.03 18"}},
      {day + 0.3, day + 25.6, 6, {"02.03 00", "09.03 00", "16.03 00", "23.03 00", "30.03 00"}},
      {day, day + 300, 8, {"01.03 00", "01.05 00", "01.07 00", "01.09 00", "01.11 00", "01.01 00"}},
  };
  for (const Case& c : cases) {
    const TimeTicks t = RoundTimeTicks(c.first, c.last, c.maxTicks);
    std::vector<std::string> texts;
    for (double at : t.at)
      texts.push_back(FormatDateTime(at).substr(0, 5) + FormatDateTime(at).substr(10, 3));
    EXPECT_EQ(texts, std::vector<std::string>(c.ticks.begin(), c.ticks.end()));
  }
}

}  // namespace
}  // namespace orti
