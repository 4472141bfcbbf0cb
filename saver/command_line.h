// The screen-saver command line: which run mode, and for which window.
#pragma once
#include <cstdint>
#include <string>

class CSaverCommandLine {
 public:
  enum class Mode { Unspecified, Run, Preview, ChangePassword, Configure };

  // Parses the arguments (the command line without the program's name).
  explicit CSaverCommandLine(const char* text);

  Mode mode = Mode::Unspecified;
  // The window of /p and /a as an integer; the caller makes it a handle.
  std::intptr_t window = 0;
  std::string text;
};
