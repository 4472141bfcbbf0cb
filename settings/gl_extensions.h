// The OpenGL extension list of the OpenGL page, without windows: splitting the
// extension string into items and ordering them.
#pragma once
#include <string>
#include <vector>

namespace gl_extensions {

// One list item: the display name ("_vertex_array" -> " vertex array") and the
// type ("EXT") of an extension word such as "GL_EXT_vertex_array".
struct Record {
  std::string name;
  std::string type;
};

std::string TypeOf(const std::string& word);
std::string DisplayNameOf(const std::string& word);
// Words are runs of characters other than blanks, tabs and line ends.
std::vector<Record> Parse(const std::string& extensions);

// Byte-wise unsigned comparison; on an equal common part the shorter comes first.
int CompareText(const std::string& a, const std::string& b);
// Order of two records for a sort column (0 name then type, 1 type then name);
// negative puts a first. Descending swaps the two records.
int Compare(const Record& a, const Record& b, int column, bool ascending);

}  // namespace gl_extensions
