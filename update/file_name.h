// The file name proposed in the Save As dialog for a downloaded installer.
#pragma once
#include <string>

namespace nuvora {

// The feed must not choose the folder: only the last path component of its
// "FileName" is proposed, and only when it is a harmless name (no ':', no device
// name, no control characters, no trailing dot or blank). Otherwise the last
// component of the download URL, then "setup.exe".
std::string ProposedFileName(const std::string& feedName, const std::string& downloadUrl);

// Whether a single path component is safe to propose as a file name.
bool IsSafeFileName(const std::string& name);

// Whether a saved file may be started: a program or an installer package.
bool IsStartableInstaller(const std::string& path);

}  // namespace nuvora
