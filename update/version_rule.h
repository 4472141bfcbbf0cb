// Whether the server offers a release newer than the installed one.
#pragma once
#include <cstdint>

namespace nuvora {

// All four values compare as unsigned numbers; equal versions are not newer.
bool IsNewerVersion(std::uint32_t offeredMajor, std::uint32_t offeredMinor,
                    std::uint32_t installedMajor, std::uint32_t installedMinor);

}  // namespace nuvora
