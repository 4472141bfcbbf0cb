// Command line of the update checker: "[URL,]product[,major[,minor]]"; the URL
// begins with http://, https:// or ftp://.
#pragma once
#include <cstddef>
#include <cstdint>

namespace nuvora {

constexpr std::size_t kProductSize = 64;  // 63 characters and the terminator
constexpr std::size_t kUrlSize = 260;     // 259 characters and the terminator

struct CommandLine {
  char url[kUrlSize] = {};  // empty: keep the built-in configuration URL
  char product[kProductSize] = {};
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

// Parses the tail of the command line (the text after the program name).
// Returns false when the line is unusable; *out is then unspecified.
bool ParseCommandLine(const char* tail, CommandLine* out);

}  // namespace nuvora
