#include "saver/command_line.h"

#include <cctype>
#include <cstdlib>

CSaverCommandLine::CSaverCommandLine(const char* arguments) : text(arguments ? arguments : "") {
  // Only the first switch counts; the letter after it picks the mode.
  size_t at = text.find_first_of("-/");
  if (at == std::string::npos || at + 1 >= text.size()) return;
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at + 1])));
  switch (letter) {
    case 's':
      mode = Mode::Run;
      return;
    case 'c':
      mode = Mode::Configure;
      return;
    case 'p':
      mode = Mode::Preview;
      break;
    case 'a':
      mode = Mode::ChangePassword;
      break;
    default:
      return;
  }
  // atoi rules (it skips white space itself): /p 1234 and /p1234 give 1234, /p:1234 gives 0.
  window = std::atoi(text.c_str() + at + 2);
}
