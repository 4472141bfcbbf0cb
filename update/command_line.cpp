#include "update/command_line.h"

#include <cstring>

namespace nuvora {

namespace {

// ASCII only: bytes above 127 are neither letters nor digits, whatever the locale.
bool IsAlnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    char c = *text;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *prefix) return false;
  }
  return true;
}

const char* SkipNonAlnum(const char* p) {
  while (*p && !IsAlnum(*p)) ++p;
  return p;
}

// Length of [begin, end) once trailing non-alphanumerics are dropped.
std::size_t TrimmedLength(const char* begin, const char* end) {
  while (end > begin && !IsAlnum(end[-1])) --end;
  return static_cast<std::size_t>(end - begin);
}

// Copies [begin, begin+len) into a field; an over-long value makes the line
// invalid instead of being cut, so a truncated name never selects another section.
bool CopyField(char* field, std::size_t size, const char* begin, std::size_t len) {
  if (len >= size) return false;
  std::memcpy(field, begin, len);
  field[len] = '\0';
  return true;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading blanks, an optional sign, decimal digits. Arithmetic wraps modulo 2^32
// (no undefined overflow), so "-1" reads as 4294967295 like an unsigned conversion.
std::uint32_t ReadNumber(const char* p) {
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::uint32_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + static_cast<std::uint32_t>(*p - '0');
  return negative ? 0u - value : value;
}

}  // namespace

bool ParseCommandLine(const char* tail, CommandLine* out) {
  *out = CommandLine{};
  if (tail == nullptr || *tail == '\0') return false;
  const char* p = SkipNonAlnum(tail);

  if (StartsWithNoCase(p, "http://") || StartsWithNoCase(p, "https://") ||
      StartsWithNoCase(p, "ftp://")) {
    const char* comma = std::strchr(p, ',');
    if (comma == nullptr) return false;
    if (!CopyField(out->url, sizeof out->url, p, TrimmedLength(p, comma))) return false;
    p = SkipNonAlnum(comma + 1);
  }

  const char* productEnd = std::strchr(p, ',');
  const char* end = productEnd ? productEnd : p + std::strlen(p);
  std::size_t len = TrimmedLength(p, end);
  if (len == 0) return false;
  if (!CopyField(out->product, sizeof out->product, p, len)) return false;

  if (productEnd == nullptr || productEnd[1] == '\0') return true;
  out->major = ReadNumber(productEnd + 1);

  const char* minorComma = std::strchr(productEnd + 1, ',');
  if (minorComma == nullptr || minorComma[1] == '\0') return true;
  out->minor = ReadNumber(minorComma + 1);
  return true;
}

}  // namespace nuvora
