// Which keys of the update description file describe the installer to fetch.
#pragma once
#include <functional>
#include <string>

namespace nuvora {

// Key names of one language's installer.
struct InstallerKeys {
  std::string path;      // "Path001" or "Path001.x64"
  std::string fileName;  // "FileName" or "FileName001.x64"
  std::string size;      // "DlSize" or "DlSize001.x64"
  std::string sha256;    // "Sha256001" or "Sha256001.x64"
  std::string length;    // "Length001" or "Length001.x64"
};

// Reads a key's value; false when the key is missing.
using KeyReader = std::function<bool(const std::string& key, std::string* value)>;

// A value fits a 260-byte field of the update state.
bool FitsField(const std::string& value);

// On 64-bit Windows a language's ".x64" installer is taken when its path is
// present and usable; otherwise, and everywhere else, the plain keys.
// n: the language number (1 for the first).
InstallerKeys SelectInstallerKeys(unsigned n, bool is64BitWindows, const KeyReader& read);

}  // namespace nuvora
