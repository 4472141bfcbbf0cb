#include "settings/build_stamp.h"

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

}  // namespace build_stamp
