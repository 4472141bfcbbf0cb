#include "update/ini_text.h"

#include <memory>
#include <utility>
#include <vector>

namespace nuvora {

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The profile functions' blanks: white space and the old end-of-file mark.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; }

std::string Trimmed(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

// The key lines of the first section named `section`, in file order; false
// when there is none.
bool ReadSection(const std::string& text, const std::string& section, Entries* entries) {
  bool inside = false, seen = false;
  std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line[0] == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string::npos) {
        if (inside) break;  // later sections of the same name are never read
        inside = !seen && SameName(line.substr(1, close - 1), section);
        seen = seen || inside;
        continue;
      }
    }
    const std::size_t equals = line.find('=');
    if (!inside || equals == std::string::npos) continue;
    entries->emplace_back(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
  }
  return seen;
}

}  // namespace

std::optional<KeyReader> IniSectionReader(const std::string& text, const std::string& section) {
  auto entries = std::make_shared<Entries>();
  if (!ReadSection(text, Trimmed(section), entries.get())) return std::nullopt;
  return KeyReader([entries](const std::string& key, std::string* value) {
    const std::string name = Trimmed(key);
    for (const auto& entry : *entries)
      if (SameName(entry.first, name)) {
        *value = Unquoted(entry.second);
        return true;
      }
    return false;
  });
}

}  // namespace nuvora
