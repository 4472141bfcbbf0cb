// Unsigned numbers of the update description file, read from their text.
#pragma once
#include <cstdint>

namespace nuvora {

// The value of an unsigned key given as text: leading blanks, an optional sign,
// decimal digits up to the first other character. A negative value reads as 0,
// text without digits as 0, a value beyond 32 bits as 4294967295.
// missing: the key is absent, so fallback is returned.
std::uint32_t ParseIniUnsigned(const char* text, bool missing, std::uint32_t fallback);

}  // namespace nuvora
