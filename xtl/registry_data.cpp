#include "xtl/registry_data.h"

#include <cstring>

#include "xtl/unicode.h"

namespace xtl {
namespace registry {

namespace {

bool is_text(std::uint32_t type) { return type == text_type || type == expandable_type; }

std::optional<std::uint32_t> parse_number(const std::string& text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  if (i == text.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (negative && value > 0x80000000ull) return std::nullopt;
  const auto low = static_cast<std::uint32_t>(value);
  return negative ? static_cast<std::uint32_t>(0u - low) : low;
}

}  // namespace

std::optional<std::uint32_t> read_number(std::uint32_t type, const unsigned char* data,
                                         std::size_t size) {
  if ((type == number_type || type == binary_type) && size == 4) {
    return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
           static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  }
  if (std::optional<std::string> text = read_text(type, data, size)) return parse_number(*text);
  return std::nullopt;
}

std::optional<bool> read_flag(std::uint32_t type, const unsigned char* data, std::size_t size) {
  if (type == binary_type && size == 1) return data[0] != 0;
  if (std::optional<std::uint32_t> number = read_number(type, data, size)) return *number != 0;
  return std::nullopt;
}

std::optional<std::string> read_text(std::uint32_t type, const unsigned char* data,
                                     std::size_t size) {
  if (!is_text(type)) return std::nullopt;
  if (size == 0) return std::string();
  const void* end = std::memchr(data, '\0', size);
  const std::size_t length =
      end ? static_cast<std::size_t>(static_cast<const unsigned char*>(end) - data) : size;
  return std::string(reinterpret_cast<const char*>(data), length);
}

std::optional<std::string> read_wide_text(std::uint32_t type, const unsigned char* data,
                                          std::size_t size) {
  if (!is_text(type)) return std::nullopt;
  std::u16string units;
  units.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0) break;
    units += unit;
  }
  return unicode::utf8_from_utf16(units);
}

}  // namespace registry
}  // namespace xtl
