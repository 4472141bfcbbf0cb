#include "glx/message_format.h"

namespace glx {

std::size_t replace_marker(std::string& text, const std::string& marker,
                           const std::string& replacement) {
  std::size_t end = 0;
  std::size_t pos = 0;
  while ((pos = text.find(marker, pos)) != std::string::npos) {
    const std::size_t after = pos + marker.size();
    if (after < text.size() && text[after] == '\\') {
      pos = after;
      continue;
    }
    text.replace(pos, marker.size(), replacement);
    pos += replacement.size();
    end = pos;
  }
  return end;
}

message_format::message_format(const std::string& text) : _text(text) {}

message_format& message_format::arg(const std::string& value) {
  _stream.str(std::string());
  _stream.clear();
  _stream << value;
  ++_count;
  replace_marker(_text, "%" + std::to_string(_count), _stream.str());
  return *this;
}

std::string message_format::str() const { return _text; }

}  // namespace glx
