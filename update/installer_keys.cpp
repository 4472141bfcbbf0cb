#include "update/installer_keys.h"

#include "update/ini_keys.h"

namespace nuvora {

bool FitsField(const std::string& value) { return value.size() < 260; }

InstallerKeys SelectInstallerKeys(unsigned n, bool is64BitWindows, const KeyReader& read) {
  if (is64BitWindows) {
    InstallerKeys x64{IndexedKey("Path", n) + ".x64", IndexedKey("FileName", n) + ".x64",
                      IndexedKey("DlSize", n) + ".x64", IndexedKey("Sha256", n) + ".x64",
                      IndexedKey("Length", n) + ".x64"};
    std::string path;
    if (read(x64.path, &path) && !path.empty() && FitsField(path)) return x64;
  }
  return {IndexedKey("Path", n), "FileName", "DlSize", IndexedKey("Sha256", n),
          IndexedKey("Length", n)};
}

}  // namespace nuvora
