// Failure message boxes built from the error table.
#pragma once
#include <string>

namespace glx {

// Shows "Zovglx failure" with a body naming the operation that caught the failure.
void report_failure(const std::string& context, const std::string& message);
void report_failure(const std::string& context, int id);
void report_failure(const std::string& context, int id, const std::string& detail);

}  // namespace glx
