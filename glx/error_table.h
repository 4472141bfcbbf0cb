#ifndef GLX_ERROR_TABLE_H
#define GLX_ERROR_TABLE_H

#include <cstdint>
#include <map>
#include <string>

#include "xtl/singleton.h"

namespace glx {

// The framework's user-visible failure texts. Filled once, never changed
// afterwards; the singleton manager deletes it at process exit.
//   0 caption of every failure box, 1 body template ("%1" context, "%s"
//   message), 2 animator creation failed ("%1" detail), 3 unhook failed,
//   4 window creation failed, 5 close request failed.
class error_table : public xtl::basic_singleton<error_table> {
 public:
  // A copy of the text for id; an unknown id yields (and records) an
  // empty text.
  std::string lookup(int id);

 private:
  friend class xtl::basic_singleton<error_table>;

  error_table();
  ~error_table() override;

  std::map<std::int32_t, std::string> _texts;
};

// Body of a failure message box: text 1 with "%1" replaced by context, then
// the first "%s" after the inserted context replaced by message.
std::string failure_body(const std::string& context, const std::string& message);

// Text id with detail as its first argument.
std::string failure_text(int id, const std::string& detail);

// Inside a handler: what the exception being handled says (what() of a
// standard exception), or that it is of a type that says nothing.
std::string current_failure();

}  // namespace glx

#endif
