// The program's build time in the compiler's time-stamp form.
#pragma once
#include <string>

namespace build_stamp {

// From the forms of __DATE__ ("Feb 26 2000") and __TIME__ ("17:46:44") to the
// form of __TIMESTAMP__ ("Sat Feb 26 17:46:44 2000"); empty when date is malformed.
std::string FromDateAndTime(const char* date, const char* time);

// Seconds since 1970 (UTC) in the same form: "Mon Dec  7 14:30:08 2026".
std::string FromUnixTime(long long seconds);

}  // namespace build_stamp
