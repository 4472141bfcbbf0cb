#include "update/update_file.h"

#include <cstring>
#include <string>

#include "update/file_name.h"
#include "update/ini_keys.h"
#include "update/ini_number.h"
#include "update/installer_keys.h"
#include "update/resource.h"
#include "update/system_bitness.h"
#include "update/update_state.h"

namespace nuvora {

namespace {

// A corrupt "LangCount" must not keep the dialog reading for hours; keys have
// three digits, so a thousand entries is beyond any real file.
constexpr UINT kMaxLanguages = 1000;

// Stands for a missing key: no value of a text file holds it.
const char kMissing[] = "\x01";

// Whether the key is present, and its value (up to 1023 characters).
bool ReadKey(const std::string& key, std::string* value) {
  char text[1024];
  GetPrivateProfileStringA(g_update.product, key.c_str(), kMissing, text, sizeof text,
                           g_update.tempFile);
  if (std::strcmp(text, kMissing) == 0) return false;
  *value = text;
  return true;
}

// Numbers are read as text and judged here: not every GetPrivateProfileIntA
// turns a negative value into 0.
std::uint32_t ReadUnsigned(const std::string& key, std::uint32_t fallback) {
  std::string text;
  const bool present = ReadKey(key, &text);
  return ParseIniUnsigned(text.c_str(), !present, fallback);
}

template <size_t N>
void ReadText(const char* key, const char* fallback, char (&value)[N]) {
  GetPrivateProfileStringA(g_update.product, key, fallback, value, N, g_update.tempFile);
}

// Reads a value that must fit in a 260-byte field; a longer one counts as missing
// rather than being cut into another, wrong, URL or name.
std::string ReadBoundedText(const std::string& key) {
  std::string value;
  if (!ReadKey(key, &value) || !FitsField(value)) return "";
  return value;
}

template <size_t N>
void CopyField(const std::string& value, char (&field)[N]) {
  const size_t len = value.size() < N ? value.size() : 0;
  std::memcpy(field, value.data(), len);
  field[len] = '\0';
}

void ShowValue(HWND dialog, int control, const char* key, const char* fallback) {
  char value[256];
  ReadText(key, fallback, value);
  SetDlgItemTextA(dialog, control, value);
}

}  // namespace

void ReadLatestVersion(std::uint32_t* major, std::uint32_t* minor) {
  *major = ReadUnsigned("VerHi", 0);
  *minor = ReadUnsigned("VerLo", 0);
}

void ReadProductInfo(HWND dialog) {
  char notAvailable[64] = {};
  LoadStringA(g_update.instance, IDS_NOT_AVAILABLE, notAvailable, sizeof notAvailable);
  ShowValue(dialog, IDC_APPNAME, "AppName", notAvailable);
  ShowValue(dialog, IDC_VERSION, "Version", notAvailable);
  ShowValue(dialog, IDC_PRICE, "Price", notAvailable);
  ShowValue(dialog, IDC_SIZE_FIELD, "Size", notAvailable);

  std::uint32_t count = ReadUnsigned("LangCount", 0);
  if (count > kMaxLanguages) count = kMaxLanguages;
  for (std::uint32_t n = 1; n <= count; ++n) {
    char name[256];
    ReadText(IndexedKey("Lang", n).c_str(), notAvailable, name);
    SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_SETCURSEL, 0, 0);
}

void ReadDownloadChoice(int selection) {
  unsigned n = selection < 0 ? 1u : static_cast<unsigned>(selection) + 1u;
  const InstallerKeys keys = SelectInstallerKeys(n, Is64BitWindows(), ReadKey);
  const std::string url = ReadBoundedText(keys.path);
  CopyField(url, g_update.downloadUrl);
  // The feed proposes a name only; the folder is the user's choice.
  CopyField(ProposedFileName(ReadBoundedText(keys.fileName), url), g_update.targetFile);
  CopyField(keys.size, g_update.sizeKey);
  std::string checksum;
  if (!ReadKey(keys.sha256, &checksum))
    g_update.checksum = UpdateState::Checksum::None;
  else if (ParseSha256Text(checksum, &g_update.expectedSha256))
    g_update.checksum = UpdateState::Checksum::Given;
  else
    g_update.checksum = UpdateState::Checksum::Malformed;
}

void ReadDownloadSize() { g_update.totalKb = ReadUnsigned(g_update.sizeKey, 1); }

void ReadAppNameForCaption(char (&name)[128]) { ReadText("AppName", "", name); }

}  // namespace nuvora
