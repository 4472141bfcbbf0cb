// Where the Save As dialog opens for a downloaded installer.
#pragma once
#include <cstddef>

namespace nuvora {

// The user's Downloads folder when the system has one, else the profile folder.
// False when neither is known; folder is then empty.
bool DefaultSaveFolder(char* folder, std::size_t size);

}  // namespace nuvora
