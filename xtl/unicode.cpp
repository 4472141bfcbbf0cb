#include "xtl/unicode.h"

namespace xtl {
namespace unicode {

namespace {

bool is_surrogate(char32_t c) { return c >= 0xD800 && c < 0xE000; }

bool is_character(char32_t c) { return c <= 0x10FFFF && !is_surrogate(c); }

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The code point that starts at text[i] and the bytes it takes; a byte that
// starts no well-formed sequence is U+FFFD of one byte.
char32_t next_utf8(const std::string& text, std::size_t i, std::size_t& taken) {
  const auto lead = static_cast<unsigned char>(text[i]);
  taken = 1;
  std::size_t length;
  char32_t code, least;
  if (lead < 0x80) return lead;
  if (lead >= 0xC2 && lead < 0xE0) {
    length = 2, code = lead & 0x1Fu, least = 0x80;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3, code = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4, code = lead & 0x07u, least = 0x10000;
  } else {
    return replacement;
  }
  if (text.size() - i < length) return replacement;
  for (std::size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if (!is_continuation(b)) return replacement;
    code = code << 6 | (b & 0x3Fu);
  }
  if (code < least || !is_character(code)) return replacement;  // overlong, surrogate, too big
  taken = length;
  return code;
}

}  // namespace

std::u32string decode_utf8(const std::string& text) {
  std::u32string codes;
  codes.reserve(text.size());
  std::size_t taken = 0;
  for (std::size_t i = 0; i < text.size(); i += taken) codes += next_utf8(text, i, taken);
  return codes;
}

std::u32string decode_utf16(const std::u16string& text) {
  std::u32string codes;
  codes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      codes += 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else {
      codes += is_surrogate(c) ? replacement : c;
    }
  }
  return codes;
}

void append_utf8(std::string& out, char32_t c) {
  if (!is_character(c)) c = replacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string encode_utf8(const std::u32string& codes) {
  std::string out;
  out.reserve(codes.size());
  for (char32_t c : codes) append_utf8(out, c);
  return out;
}

std::u16string encode_utf16(const std::u32string& codes) {
  std::u16string out;
  out.reserve(codes.size());
  for (char32_t c : codes) {
    if (!is_character(c)) c = replacement;
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string utf8_from_utf16(const std::u16string& text) { return encode_utf8(decode_utf16(text)); }

std::u16string utf16_from_utf8(const std::string& text) { return encode_utf16(decode_utf8(text)); }

std::string utf8_from_wide(const std::wstring& text) {
  if (sizeof(wchar_t) == sizeof(char16_t))
    return utf8_from_utf16(std::u16string(text.begin(), text.end()));
  return encode_utf8(std::u32string(text.begin(), text.end()));
}

std::wstring wide_from_utf8(const std::string& text) {
  if (sizeof(wchar_t) == sizeof(char16_t)) {
    const std::u16string units = utf16_from_utf8(text);
    return std::wstring(units.begin(), units.end());
  }
  const std::u32string codes = decode_utf8(text);
  return std::wstring(codes.begin(), codes.end());
}

std::size_t utf8_length(const std::string& text) {
  std::size_t count = 0, taken = 0;
  for (std::size_t i = 0; i < text.size(); i += taken, ++count) next_utf8(text, i, taken);
  return count;
}

std::string utf8_prefix(const std::string& text, std::size_t count) {
  std::size_t i = 0, taken = 0;
  for (; i < text.size() && count > 0; i += taken, --count) next_utf8(text, i, taken);
  return text.substr(0, i);
}

}  // namespace unicode
}  // namespace xtl
