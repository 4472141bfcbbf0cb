#include "framework/app.h"

#include <cstring>
#include <vector>

#include "xtl/registry_data.h"
#include "xtl/unicode.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* currentApp = nullptr;

std::string ProgramBaseName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// The key the profile functions work under.
std::string AppKeyPath(const CWinApp& app) {
  return "Software\\" + app.m_pszRegistryKey + "\\" + app.m_pszAppName;
}

// Reads a value's type and data and closes the key; false when the key or the value
// cannot be read.
bool ReadValue(HKEY key, const char* entry, DWORD& type, std::vector<unsigned char>& data) {
  if (!key) return false;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    data.resize(size);
    rc = RegQueryValueExA(key, entry, nullptr, &type, data.data(), &size);
    data.resize(size);
  }
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

std::wstring Wide(const char* utf8) { return xtl::unicode::wide_from_utf8(utf8 ? utf8 : ""); }

}  // namespace

CWinApp::CWinApp(const char* appName) {
  currentApp = this;
  m_hInstance = GetModuleHandleA(nullptr);
  m_pszAppName = appName ? appName : ProgramBaseName();
}

CWinApp::~CWinApp() {
  if (currentApp == this) currentApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_nExitCode; }

int CWinApp::Run() {
  MSG msg = {};
  for (;;) {
    // Wide, so that characters typed into Unicode windows arrive whole; the
    // system converts for ANSI windows.
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      if (QuitAllowed()) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  m_nExitCode = msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
  return ExitInstance();
}

void CWinApp::SetRegistryKey(const char* key) { m_pszRegistryKey = key ? key : ""; }

void CWinApp::SetRegistryKey(UINT stringId) { SetRegistryKey(AfxLoadString(stringId).c_str()); }

HKEY CWinApp::GetAppRegistryKey() {
  if (m_pszRegistryKey.empty()) return nullptr;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, AppKeyPath(*this).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

HKEY CWinApp::GetSectionKey(const char* section) {
  HKEY app = GetAppRegistryKey();
  if (!app) return nullptr;
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExA(app, section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                            nullptr, &key, nullptr);
  RegCloseKey(app);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
  DWORD type = 0, value = 0;
  std::vector<unsigned char> data;
  if (!ReadValue(GetSectionKey(section), entry, type, data) || type != REG_DWORD ||
      data.size() != sizeof value)
    return defaultValue;
  memcpy(&value, data.data(), sizeof value);
  return value;
}

std::string CWinApp::GetProfileString(const char* section, const char* entry,
                                      const char* defaultValue) {
  std::string fallback = defaultValue ? defaultValue : "";
  HKEY key = GetSectionKey(section);
  if (!key) return fallback;
  const std::wstring name = Wide(entry);
  DWORD type = 0, size = 0;
  std::vector<unsigned char> data;
  LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    data.resize(size);
    rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
    data.resize(size);
  }
  RegCloseKey(key);
  // A value written without its terminator ends where its data ends.
  if (rc != ERROR_SUCCESS || type != REG_SZ) return fallback;
  return xtl::registry::read_wide_text(type, data.data(), data.size()).value_or(fallback);
}

bool CWinApp::GetProfileFlag(const char* section, const char* entry, bool defaultValue) {
  DWORD type = 0;
  std::vector<unsigned char> data;
  if (!ReadValue(GetSectionKey(section), entry, type, data)) return defaultValue;
  return xtl::registry::read_flag(type, data.data(), data.size()).value_or(defaultValue);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  HKEY key = GetSectionKey(section);
  if (!key) return FALSE;
  DWORD v = static_cast<DWORD>(value);
  LONG rc = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  HKEY key = GetSectionKey(section);
  if (!key) return FALSE;
  const std::wstring name = Wide(entry);
  LONG rc;
  if (value) {
    const std::wstring text = Wide(value);
    rc = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  } else {
    rc = RegDeleteValueW(key, name.c_str());
  }
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool CWinApp::HasProfileSection(const char* section) {
  if (m_pszRegistryKey.empty()) return false;
  const std::string path = AppKeyPath(*this) + "\\" + section;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

BOOL CWinApp::DeleteProfileSection(const char* section) {
  HKEY app = GetAppRegistryKey();
  if (!app) return FALSE;
  const LONG rc = RegDeleteKeyA(app, section);
  RegCloseKey(app);
  return rc == ERROR_SUCCESS;
}

CWinApp* AfxGetApp() { return currentApp; }

HINSTANCE AfxGetInstanceHandle() {
  return currentApp ? currentApp->m_hInstance : GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

std::string AfxLoadString(UINT id) {
  char buffer[1024] = {};
  int n = LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}
