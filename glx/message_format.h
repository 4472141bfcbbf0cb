#ifndef GLX_MESSAGE_FORMAT_H
#define GLX_MESSAGE_FORMAT_H

#include <cstddef>
#include <sstream>
#include <string>

namespace glx {

// Positional formatter: the n-th applied argument replaces every "%n" of the
// template. An occurrence directly followed by a backslash is left alone, and
// inserted text is never searched again. Other "%" sequences stay as they are.
class message_format {
 public:
  explicit message_format(const std::string& text);

  message_format& arg(const std::string& value);
  message_format& operator%(const std::string& value) { return arg(value); }

  std::string str() const;

 private:
  std::string _text;
  int _count = 0;
  std::ostringstream _stream;
};

// Replaces each occurrence of marker in text that is not directly followed by
// a backslash. Returns the position just after the last inserted replacement,
// or 0 when nothing was replaced.
std::size_t replace_marker(std::string& text, const std::string& marker,
                           const std::string& replacement);

}  // namespace glx

#endif
