#include "update/profile_reader.h"

#include <windows.h>

#include <cstring>

namespace nuvora {

namespace {

// Stands for a missing key: no value of a text file holds it.
const char kMissing[] = "\x01";

}  // namespace

KeyReader ProfileReader(const std::string& file, const std::string& section) {
  return [file, section](const std::string& key, std::string* value) {
    char text[1024];
    GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, text, sizeof text,
                             file.c_str());
    if (std::strcmp(text, kMissing) == 0) return false;
    *value = text;
    return true;
  };
}

}  // namespace nuvora
