#include "settings/build_stamp.h"

#include <cstdio>
#include <cstring>

namespace build_stamp {

namespace {

const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// Day of the week (0 = Sunday) of a Gregorian date, Sakamoto's method.
int Weekday(int y, int m, int d) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) --y;
  return (y + y / 4 - y / 100 + y / 400 + offsets[m - 1] + d) % 7;
}

}  // namespace

std::string FromDateAndTime(const char* date, const char* time) {
  if (!date || !time || std::strlen(date) != 11) return std::string();
  const char* found = std::strstr(kMonths, std::string(date, 3).c_str());
  if (!found || (found - kMonths) % 3 != 0) return std::string();
  int month = static_cast<int>(found - kMonths) / 3 + 1;
  int day = (date[4] == ' ' ? 0 : date[4] - '0') * 10 + (date[5] - '0');
  int year = 0;
  for (int i = 7; i < 11; ++i) year = year * 10 + (date[i] - '0');
  // "Mmm dd" keeps the blank-padded day of the date form, as the time stamp does.
  return std::string(kDays[Weekday(year, month, day)]) + " " + std::string(date, 6) + " " + time +
         " " + std::string(date + 7, 4);
}

std::string FromUnixTime(long long seconds) {
  if (seconds < 0) return std::string();
  const long long days = seconds / 86400, rest = seconds % 86400;
  // Civil date of a day count (Hinnant's algorithm, eras of 400 years from 0000-03-01).
  const long long z = days + 719468, era = z / 146097, dayOfEra = z - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long m = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * m + 2) / 5 + 1);
  const int month = static_cast<int>(m < 10 ? m + 3 : m - 9);
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[40];
  std::snprintf(text, sizeof text, "%s %.3s %2d %02d:%02d:%02d %lld", kDays[(days + 4) % 7],
                kMonths + 3 * (month - 1), day, static_cast<int>(rest / 3600),
                static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60), year);
  return text;
}

}  // namespace build_stamp
