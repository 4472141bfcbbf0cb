// Reading the local copy of the update description file (INI syntax).
#pragma once
#include <string>

#include "update/installer_keys.h"

namespace nuvora {

// Reads keys of one section of an INI file through the profile functions, so
// that section and key names match without regard to case. Values up to 1023
// characters; longer ones arrive cut.
KeyReader ProfileReader(const std::string& file, const std::string& section);

}  // namespace nuvora
