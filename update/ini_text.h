// Reading one section of an INI text held in memory, the way the profile
// functions read a file: section and key names match without regard to case,
// the first section of a name and the first key of a name count, blanks around
// names and values go, and a value in matching quotes loses them.
#pragma once
#include <optional>
#include <string>

#include "update/installer_keys.h"

namespace nuvora {

// A reader of `section` in `text`, which keeps its own copy of what it needs;
// nullopt when the text has no such section.
std::optional<KeyReader> IniSectionReader(const std::string& text, const std::string& section);

}  // namespace nuvora
