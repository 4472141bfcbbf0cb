#include "update/update_file.h"

#include <cstring>

#include "update/ini_keys.h"
#include "update/resource.h"
#include "update/update_state.h"

namespace nuvora {

namespace {

// A corrupt "LangCount" must not keep the dialog reading for hours; keys have
// three digits, so a thousand entries is beyond any real file.
constexpr UINT kMaxLanguages = 1000;

UINT ReadInt(const char* key, INT fallback) {
  return GetPrivateProfileIntA(g_update.product, key, fallback, g_update.tempFile);
}

template <size_t N>
void ReadText(const char* key, const char* fallback, char (&value)[N]) {
  GetPrivateProfileStringA(g_update.product, key, fallback, value, N, g_update.tempFile);
}

// Reads a value that must fit in a 260-byte field; a longer one counts as missing
// rather than being cut into another, wrong, URL or name.
void ReadBoundedText(const char* key, char (&value)[MAX_PATH]) {
  char wide[1024];
  DWORD len =
      GetPrivateProfileStringA(g_update.product, key, "", wide, sizeof wide, g_update.tempFile);
  if (len >= MAX_PATH) len = 0;
  std::memcpy(value, wide, len);
  value[len] = '\0';
}

void ShowValue(HWND dialog, int control, const char* key, const char* fallback) {
  char value[256];
  ReadText(key, fallback, value);
  SetDlgItemTextA(dialog, control, value);
}

}  // namespace

void ReadLatestVersion(std::uint32_t* major, std::uint32_t* minor) {
  *major = ReadInt("VerHi", 0);
  *minor = ReadInt("VerLo", 0);
}

void ReadProductInfo(HWND dialog) {
  char notAvailable[64] = {};
  LoadStringA(g_update.instance, IDS_NOT_AVAILABLE, notAvailable, sizeof notAvailable);
  ShowValue(dialog, IDC_APPNAME, "AppName", notAvailable);
  ShowValue(dialog, IDC_VERSION, "Version", notAvailable);
  ShowValue(dialog, IDC_PRICE, "Price", notAvailable);
  ShowValue(dialog, IDC_SIZE_FIELD, "Size", notAvailable);

  UINT count = ReadInt("LangCount", 0);
  if (count > kMaxLanguages) count = kMaxLanguages;
  for (UINT n = 1; n <= count; ++n) {
    char name[256];
    ReadText(IndexedKey("Lang", n).c_str(), notAvailable, name);
    SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_SETCURSEL, 0, 0);
}

void ReadDownloadChoice(int selection) {
  unsigned n = selection < 0 ? 1u : static_cast<unsigned>(selection) + 1u;
  ReadBoundedText(IndexedKey("Path", n).c_str(), g_update.downloadUrl);
  ReadBoundedText("FileName", g_update.targetFile);
}

void ReadDownloadSize() { g_update.totalKb = ReadInt("DlSize", 1); }

void ReadAppNameForCaption(char (&name)[128]) { ReadText("AppName", "", name); }

}  // namespace nuvora
