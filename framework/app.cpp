#include "framework/app.h"

#include <vector>

#include "xtl/registry_data.h"

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
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      if (QuitAllowed()) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  m_nExitCode = msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
  return ExitInstance();
}

void CWinApp::SetRegistryKey(const char* key) { m_pszRegistryKey = key ? key : ""; }

void CWinApp::SetRegistryKey(UINT stringId) { SetRegistryKey(AfxLoadString(stringId).c_str()); }

HKEY CWinApp::GetAppRegistryKey() {
  if (m_pszRegistryKey.empty()) return nullptr;
  std::string path = "Software\\" + m_pszRegistryKey + "\\" + m_pszAppName;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
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
  HKEY key = GetSectionKey(section);
  if (!key) return defaultValue;
  DWORD type = 0, value = 0, size = sizeof value;
  LONG rc = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return defaultValue;
  return value;
}

std::string CWinApp::GetProfileString(const char* section, const char* entry,
                                      const char* defaultValue) {
  std::string fallback = defaultValue ? defaultValue : "";
  HKEY key = GetSectionKey(section);
  if (!key) return fallback;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size);
  std::string result = fallback;
  if (rc == ERROR_SUCCESS && type == REG_SZ) {
    std::vector<unsigned char> buffer(size);
    rc = RegQueryValueExA(key, entry, nullptr, &type, buffer.data(), &size);
    // A value written without its terminator ends where its data ends.
    if (rc == ERROR_SUCCESS && type == REG_SZ)
      result = xtl::registry::read_text(type, buffer.data(), size).value_or(fallback);
  }
  RegCloseKey(key);
  return result;
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
  LONG rc;
  if (value)
    rc = RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(strlen(value) + 1));
  else
    rc = RegDeleteValueA(key, entry);
  RegCloseKey(key);
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
