#include "update/file_name.h"

#include <cstring>

namespace nuvora {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// "a/b\\c" gives "c": both separators count, as they do for the file system.
std::string LastComponent(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The superscript digits one to three, in the ANSI code page: Windows counts
// COM\xB9 and LPT\xB3 among its devices too.
bool IsDeviceDigit(char c) {
  return (c >= '1' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3';
}

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9 and LPT1-9 (and with superscript
// one to three) name a device whatever extension follows.
bool IsDeviceName(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
    if (EqualsNoCase(stem, device)) return true;
  if (stem.size() == 4 && IsDeviceDigit(stem[3]))
    return EqualsNoCase(stem.substr(0, 3), "com") || EqualsNoCase(stem.substr(0, 3), "lpt");
  return false;
}

}  // namespace

bool IsSafeFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || std::strchr(":<>\"/\\|?*", c)) return false;
  }
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsDeviceName(name);
}

std::string ProposedFileName(const std::string& feedName, const std::string& downloadUrl) {
  const std::string fromFeed = LastComponent(feedName);
  if (IsSafeFileName(fromFeed)) return fromFeed;
  std::string path = downloadUrl.substr(0, downloadUrl.find_first_of("?#"));
  const auto scheme = path.find("://");
  if (scheme != std::string::npos) path = path.substr(scheme + 3);
  // The host alone ("http://host") names no file.
  if (path.find('/') != std::string::npos) {
    const std::string fromUrl = LastComponent(path);
    if (IsSafeFileName(fromUrl)) return fromUrl;
  }
  return "setup.exe";
}

bool IsStartableInstaller(const std::string& path) {
  const std::string name = LastComponent(path);
  if (name.find(':') != std::string::npos) return false;  // a stream, not the file
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = name.substr(dot);
  return EqualsNoCase(extension, ".exe") || EqualsNoCase(extension, ".msi");
}

}  // namespace nuvora
