// Fixed when Nuvora is built: the feed keys it trusts and how long it waits on
// a server that does not answer.
#pragma once
#include <string>
#include <vector>

namespace nuvora {

struct BuildSettings {
  std::vector<std::string> feedKeys;  // 128 hex digits each
  unsigned connectLimitMs;            // until a server answers
  unsigned stallLimitMs;              // between two bytes once it did
};

// The program's own; main hands them on.
BuildSettings TheBuildSettings();

}  // namespace nuvora
