#include "update/ini_keys.h"

#include <cstdio>

namespace nuvora {

std::string IndexedKey(const char* stem, unsigned n) {
  char number[16];
  std::snprintf(number, sizeof number, "%.3u", n);
  return std::string(stem) + number;
}

}  // namespace nuvora
