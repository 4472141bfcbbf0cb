// Unicode text between the forms the program meets: UTF-8 inside (narrow
// strings stay portable), UTF-16 at the system's wide functions, code points
// for glyphs. Text comes from the registry and from people: anything that is
// not well formed (a lone surrogate, a stray byte) becomes U+FFFD, never a
// failure. No windows here.
#pragma once
#include <cstddef>
#include <string>

namespace xtl {
namespace unicode {

constexpr char32_t replacement = 0xFFFD;

std::u32string decode_utf8(const std::string& text);
std::u32string decode_utf16(const std::u16string& text);
std::string encode_utf8(const std::u32string& codes);
std::u16string encode_utf16(const std::u32string& codes);

std::string utf8_from_utf16(const std::u16string& text);
std::u16string utf16_from_utf8(const std::string& text);
// The system's wide strings: UTF-16 on Windows, UTF-32 where wchar_t has 32 bits.
std::string utf8_from_wide(const std::wstring& text);
std::wstring wide_from_utf8(const std::string& text);

// Appends one code point; one that is no character (a surrogate, beyond
// U+10FFFF) is appended as U+FFFD.
void append_utf8(std::string& out, char32_t code);

// The characters of a UTF-8 text, as decode_utf8 counts them.
std::size_t utf8_length(const std::string& text);
// The first count characters of a UTF-8 text, never cut inside one.
std::string utf8_prefix(const std::string& text, std::size_t count);

}  // namespace unicode
}  // namespace xtl
