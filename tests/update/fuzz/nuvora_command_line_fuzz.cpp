// libFuzzer target for Nuvora's command-line parser: any byte string must parse
// or be rejected without touching memory outside the fields, and what it accepts
// must hold the field invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "update/command_line.h"

namespace {

bool IsAlnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string tail(reinterpret_cast<const char*>(data),
                   size);  // stops at the first NUL, as a C string
  nuvora::CommandLine line;
  if (!nuvora::ParseCommandLine(tail.c_str(), &line)) return 0;
  const std::size_t product = std::strlen(line.product);
  const std::size_t url = std::strlen(line.url);
  // Accepted: a non-empty product that fits, starts and ends with a letter or digit,
  // holds no comma; a URL, if any, that fits and holds no comma.
  if (product == 0 || product >= sizeof line.product) std::abort();
  if (!IsAlnum(line.product[0]) || !IsAlnum(line.product[product - 1])) std::abort();
  if (std::strchr(line.product, ',') || std::strchr(line.url, ',')) std::abort();
  if (url >= sizeof line.url) std::abort();
  if (url > 0 && !IsAlnum(line.url[url - 1])) std::abort();
  return 0;
}
