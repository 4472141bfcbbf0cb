#include "update/feed_rules.h"

#include "update/ini_keys.h"
#include "update/sha256_text.h"

namespace nuvora {

namespace {

std::optional<std::array<std::uint8_t, 64>> Parse64Bytes(const std::string& text) {
  std::array<std::uint8_t, 64> bytes{};
  if (!ParseHexBytes(text, bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

std::optional<std::uint64_t> ParseDigits(const std::string& text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10u + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// A language's installer keys, plain or ".x64": a path needs its hash and length.
bool IsBound(const KeyReader& read, unsigned n, const char* suffix) {
  std::string path, value;
  if (!read(IndexedKey("Path", n) + suffix, &path) || path.empty()) return true;
  Sha256Digest digest;
  return read(IndexedKey("Sha256", n) + suffix, &value) && ParseSha256Text(value, &digest) &&
         read(IndexedKey("Length", n) + suffix, &value) && ParseFeedLength(value);
}

}  // namespace

std::optional<FeedSignature> ParseFeedSignature(const std::string& text) {
  std::string digits = text;
  if (digits.size() > 1 && digits.back() == '\n') digits.pop_back();
  if (digits.size() > 1 && digits.back() == '\r') digits.pop_back();
  return Parse64Bytes(digits);
}

std::optional<FeedKey> ParseFeedKey(const std::string& text) { return Parse64Bytes(text); }

std::string SignatureUrl(const std::string& feedUrl) {
  return feedUrl.substr(0, feedUrl.find_first_of("?#")) + ".sig";
}

bool operator<(const Date& a, const Date& b) {
  if (a.year != b.year) return a.year < b.year;
  if (a.month != b.month) return a.month < b.month;
  return a.day < b.day;
}

std::optional<Date> ParseFeedDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = ParseDigits(text.substr(0, 4)), month = ParseDigits(text.substr(5, 2)),
             day = ParseDigits(text.substr(8, 2));
  if (!year || !month || !day || *month < 1 || *month > 12) return std::nullopt;
  Date date{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
  if (date.day < 1 || date.day > DaysInMonth(date.year, date.month)) return std::nullopt;
  return date;
}

std::optional<std::uint64_t> ParseFeedSerial(const std::string& text) {
  const auto serial = ParseDigits(text);
  if (!serial || *serial == 0) return std::nullopt;
  return serial;
}

std::optional<std::uint64_t> ParseFeedLength(const std::string& text) { return ParseDigits(text); }

FeedVerdict JudgeFeed(const KeyReader& read, std::uint32_t languages,
                      std::optional<std::uint64_t> lastSerial, const Date& today,
                      std::uint64_t* serial) {
  std::string serialText, expiresText;
  if (!read("Serial", &serialText) || !read("Expires", &expiresText)) return FeedVerdict::Malformed;
  const auto number = ParseFeedSerial(serialText);
  const auto expires = ParseFeedDate(expiresText);
  if (!number || !expires) return FeedVerdict::Malformed;
  for (unsigned n = 1; n <= (languages == 0 ? 1u : languages); ++n)
    if (!IsBound(read, n, "") || !IsBound(read, n, ".x64")) return FeedVerdict::Malformed;
  *serial = *number;
  if (lastSerial && *number < *lastSerial) return FeedVerdict::Replayed;
  if (*expires < today) return FeedVerdict::Expired;
  return FeedVerdict::Accepted;
}

}  // namespace nuvora
