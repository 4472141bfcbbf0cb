#include "glx/error_table.h"

#include <exception>

#include "glx/message_format.h"

namespace glx {

error_table::error_table()
    : _texts{
          {0, "Zovglx failure"},
          {1, "%1 caught an exception with the following message:\n\n%s"},
          {2,
           "The animator engine could not be created. The following exception was "
           "thrown:\n\n%1"},
          {3, "The animation engine could not be destroyed."},
          {4, "The window could not be created."},
          {5, "A window-close request generated an unexpected error."},
      } {}

error_table::~error_table() = default;

std::string error_table::lookup(int id) { return _texts[id]; }

std::string failure_body(const std::string& context, const std::string& message) {
  std::string body = error_table::instance()->lookup(1);
  // Search for "%s" only after the context, so a "%s" inside the context
  // is not taken for the message slot.
  const std::size_t after_context = replace_marker(body, "%1", context);
  const std::size_t slot = body.find("%s", after_context);
  if (slot != std::string::npos) body.replace(slot, 2, message);
  return body;
}

std::string failure_text(int id, const std::string& detail) {
  return message_format(error_table::instance()->lookup(id)).arg(detail).str();
}

std::string current_failure() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "an exception of another type";
  }
}

}  // namespace glx
