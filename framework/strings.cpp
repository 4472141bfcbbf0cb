#include "framework/strings.h"

#include "framework/app.h"

std::string AfxFormatStringText(const std::string& pattern, const char* arg) {
  std::string out;
  const std::string insert = arg ? arg : "";
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '1') {
      out += insert;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

void AfxFormatString1(std::string& result, UINT id, const char* arg) {
  result = AfxFormatStringText(AfxLoadString(id), arg);
}
