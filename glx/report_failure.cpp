#include "glx/report_failure.h"

#include <windows.h>

#include "glx/error_table.h"

namespace glx {

void report_failure(const std::string& context, const std::string& message) {
  std::string caption = error_table::instance()->lookup(0);
  std::string body = failure_body(context, message);
  MessageBoxA(nullptr, body.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
}

void report_failure(const std::string& context, int id) {
  report_failure(context, error_table::instance()->lookup(id));
}

void report_failure(const std::string& context, int id, const std::string& detail) {
  report_failure(context, failure_text(id, detail));
}

void log_failure(const char* context) {
  const std::string line = std::string(context) + ": " + current_failure() + "\n";
  OutputDebugStringA(line.c_str());
}

}  // namespace glx
