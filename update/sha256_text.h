// The expected SHA-256 of an installer, as the update description file gives it.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace nuvora {

using Sha256Digest = std::array<std::uint8_t, 32>;

// Exactly 2 * count hexadecimal digits, either case, into count bytes; false
// for anything else (out is then left partly written).
bool ParseHexBytes(const std::string& text, std::uint8_t* out, std::size_t count);

// Exactly 64 hexadecimal digits, either case; false for anything else.
bool ParseSha256Text(const std::string& text, Sha256Digest* digest);

}  // namespace nuvora
