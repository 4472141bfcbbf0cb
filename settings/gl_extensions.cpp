#include "settings/gl_extensions.h"

#include <sstream>

namespace gl_extensions {

namespace {

// The word without its "GL_"-style prefix of three characters.
std::string Rest(const std::string& word) {
  return word.size() > 3 ? word.substr(3) : std::string();
}

}  // namespace

std::string TypeOf(const std::string& word) {
  std::string rest = Rest(word);
  return rest.substr(0, rest.find('_'));
}

std::string DisplayNameOf(const std::string& word) {
  std::string rest = Rest(word);
  size_t underscore = rest.find('_');
  if (underscore == std::string::npos) return std::string();
  std::string name = rest.substr(underscore);
  for (char& c : name)
    if (c == '_') c = ' ';
  return name;
}

std::vector<Record> Parse(const std::string& extensions) {
  std::vector<Record> records;
  std::istringstream in(extensions);
  std::string word;
  while (in >> word) records.push_back({DisplayNameOf(word), TypeOf(word)});
  return records;
}

int CompareText(const std::string& a, const std::string& b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int Compare(const Record& a, const Record& b, int column, bool ascending) {
  const Record& x = ascending ? a : b;
  const Record& y = ascending ? b : a;
  int first = column == 0 ? CompareText(x.name, y.name) : CompareText(x.type, y.type);
  if (first != 0) return first;
  return column == 0 ? CompareText(x.type, y.type) : CompareText(x.name, y.name);
}

}  // namespace gl_extensions
