#include "update/version_rule.h"

namespace nuvora {

bool IsNewerVersion(std::uint32_t offeredMajor, std::uint32_t offeredMinor,
                    std::uint32_t installedMajor, std::uint32_t installedMinor) {
  if (offeredMajor != installedMajor) return offeredMajor > installedMajor;
  return offeredMinor > installedMinor;
}

}  // namespace nuvora
