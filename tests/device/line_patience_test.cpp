#include "device/line_patience.h"

#include <gtest/gtest.h>

namespace orti {
namespace {

using std::chrono::milliseconds;

TEST(LinePatience, WaitsFollowWhatTheLineShowed) {
  const milliseconds pause(300);
  struct Case {
    std::vector<int> measured;  // turnarounds of the exchanges so far, in order
    int turnaround;             // -1: none known
    int window;                 // for a 15-character read of 95 bytes (205 characters)
    int limit;
  } cases[] = {
      {{}, -1, 300, 2000},
      {{120}, 120, 300, 2000},  // within the pause: the pause as always
      {{0, 450}, 450, 18 + 450 + 235 + 150, 3 * (450 + 235)},
      {{450, 450, 1400}, 450, 18 + 450 + 235 + 150, 3 * (450 + 235)},  // one lost first request
      {{0, 450, 450}, 450, 18 + 450 + 235 + 150, 3 * (450 + 235)},     // the instrument got slow
      {{650, 650, 650}, 650, 18 + 650 + 235 + 150, 3 * (650 + 235)},
      {{600, 600, 600, 0, 0}, 0, 300, 2000},  // it got quick again
  };
  for (const Case& c : cases) {
    LinePatience patience;
    for (int t : c.measured) patience.Measured(milliseconds(t));
    const std::string name = ::testing::PrintToString(c.measured);
    EXPECT_EQ(patience.Turnaround().value_or(milliseconds(-1)), milliseconds(c.turnaround)) << name;
    EXPECT_EQ(patience.AttemptWindow(15, 205, pause), milliseconds(c.window)) << name;
    EXPECT_EQ(patience.ExchangeLimit(milliseconds(2000)), milliseconds(c.limit)) << name;
    patience.Forget();
    EXPECT_FALSE(patience.Turnaround().has_value());
  }
  EXPECT_EQ(WireTime(205), milliseconds(235));  // 11 bits a character at 9600 baud
}

}  // namespace
}  // namespace orti
