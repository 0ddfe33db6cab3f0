#pragma once
// Dates as the console stores them: days since 30 December 1899 as a double,
// the time of day as the fraction.

#include <string>

namespace orti {

struct CivilDateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

double EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int minute, int second, int millisecond = 0);
CivilDateTime DecodeDateTime(double dateTime);

// "dd.mm.yyyy hh:nn:ss"; `separator` goes between date and time.
std::string FormatDateTime(double dateTime, const char* separator = " ");

// The computer's local date and time.
double LocalNow();

}  // namespace orti
