// Failure message boxes built from the error table.
#pragma once
#include <string>

namespace glx {

// Shows "Zovglx failure" with a body naming the operation that caught the failure.
void report_failure(const std::string& context, const std::string& message);
void report_failure(const std::string& context, int id);
void report_failure(const std::string& context, int id, const std::string& detail);

// Inside a handler whose operation goes on without what failed: writes the
// context and what the exception says to the debugger's output, for the
// developer; the user sees nothing.
void log_failure(const char* context);

}  // namespace glx
