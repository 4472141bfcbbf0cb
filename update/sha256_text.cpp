#include "update/sha256_text.h"

namespace nuvora {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseHexBytes(const std::string& text, std::uint8_t* out, std::size_t count) {
  if (text.size() != 2 * count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return true;
}

bool ParseSha256Text(const std::string& text, Sha256Digest* digest) {
  Sha256Digest bytes{};
  if (!ParseHexBytes(text, bytes.data(), bytes.size())) return false;
  *digest = bytes;
  return true;
}

}  // namespace nuvora
