#include "platform/date_time.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace orti {
namespace {

constexpr long kUnixEpochDays = 25569;  // 1 January 1970 counted from 30 December 1899
constexpr double kMsPerDay = 86400000.0;

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& year, int& month, int& day) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<long>(yoe) + era * 400 + (month <= 2));
}

}  // namespace

double EncodeDate(int year, int month, int day) {
  return static_cast<double>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
      kUnixEpochDays);
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
  return ((hour * 60.0 + minute) * 60.0 + second + millisecond / 1000.0) / 86400.0;
}

CivilDateTime DecodeDateTime(double dateTime) {
  // Round to the millisecond first so that 12:34:56 does not print as 12:34:55.
  long long totalMs = std::llround(dateTime * kMsPerDay);
  long long dayMs = static_cast<long long>(kMsPerDay);
  long long days = totalMs / dayMs;
  long long msOfDay = totalMs % dayMs;
  if (msOfDay < 0) {
    msOfDay += dayMs;
    --days;
  }
  CivilDateTime c;
  CivilFromDays(static_cast<long>(days) - kUnixEpochDays, c.year, c.month, c.day);
  c.hour = static_cast<int>(msOfDay / 3600000);
  c.minute = static_cast<int>(msOfDay / 60000 % 60);
  c.second = static_cast<int>(msOfDay / 1000 % 60);
  c.millisecond = static_cast<int>(msOfDay % 1000);
  return c;
}

std::string FormatDateTime(double dateTime, const char* separator) {
  CivilDateTime c = DecodeDateTime(dateTime);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d%s%02d:%02d:%02d", c.day, c.month, c.year,
                separator, c.hour, c.minute, c.second);
  return buffer;
}

double LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace orti
