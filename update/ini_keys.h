// Names of the numbered keys of the update description file.
#pragma once
#include <string>

namespace nuvora {

// stem and n printed as "%s%.3d": IndexedKey("Lang", 1) is "Lang001", ("Path", 100) "Path100".
std::string IndexedKey(const char* stem, unsigned n);

}  // namespace nuvora
