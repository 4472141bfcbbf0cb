// The expected SHA-256 of an installer, as the update description file gives it.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace nuvora {

using Sha256Digest = std::array<std::uint8_t, 32>;

// Exactly 64 hexadecimal digits, either case; false for anything else.
bool ParseSha256Text(const std::string& text, Sha256Digest* digest);

}  // namespace nuvora
