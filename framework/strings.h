// Formatting of resource strings with %1-style insertions.
#pragma once
#include <windows.h>

#include <string>

// Loads string id and replaces every "%1" in it with arg.
void AfxFormatString1(std::string& result, UINT id, const char* arg);
// The same on a given pattern (window-free for callers that have the text).
std::string AfxFormatStringText(const std::string& pattern, const char* arg);
