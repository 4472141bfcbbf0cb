#include "update/ini_number.h"

namespace nuvora {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::uint32_t ParseIniUnsigned(const char* text, bool missing, std::uint32_t fallback) {
  if (missing || text == nullptr) return fallback;
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::uint64_t value = 0;
  bool digits = false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    digits = true;
    // Saturate instead of wrapping: a wrapped "VerHi" could name any version.
    if (value <= 0xFFFFFFFFu) value = value * 10u + static_cast<std::uint64_t>(*p - '0');
  }
  // Some implementations hand a negative value through as a huge unsigned one,
  // which would offer every installed version an "update".
  if (!digits || negative) return 0;
  return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

}  // namespace nuvora
