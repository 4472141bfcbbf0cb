// Application object: name, per-user profile under the registry key, main window.
#pragma once
#include <windows.h>

#include <string>

#include "framework/thread.h"

class CWnd;

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
 public:
  // Without a name the application is named after its program file ("Verivir"
  // for Verivir.scr), as Windows shows it and as its settings key ends.
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance();
  virtual int Run();
  virtual int ExitInstance();
  // Whether a WM_QUIT ends the message loop; one that is not allowed is
  // swallowed and the loop goes on.
  virtual bool QuitAllowed() { return true; }

  // Profile functions work under HKCU\Software\<key>\<application name>\<section>.
  // Reads create the keys they open; a missing value or one of another type
  // gives the default. Profile strings are UTF-8, stored as the system's
  // Unicode REG_SZ; programs that read them through the code page still can.
  void SetRegistryKey(const char* key);
  void SetRegistryKey(UINT stringId);
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
  std::string GetProfileString(const char* section, const char* entry,
                               const char* defaultValue = "");
  // A flag stored as a byte, a number or a string of digits; true when not zero.
  bool GetProfileFlag(const char* section, const char* entry, bool defaultValue);
  BOOL WriteProfileInt(const char* section, const char* entry, int value);
  BOOL WriteProfileString(const char* section, const char* entry, const char* value);
  // Whether the section's key exists; creates nothing.
  bool HasProfileSection(const char* section);
  // Deletes the section's key, which must have no subkeys.
  BOOL DeleteProfileSection(const char* section);
  // Open (creating what is missing) with read and write access; the caller closes.
  HKEY GetAppRegistryKey();
  HKEY GetSectionKey(const char* section);

  std::string m_pszAppName;
  std::string m_pszRegistryKey;
  HINSTANCE m_hInstance = nullptr;
  const char* m_lpCmdLine = "";
  CWnd* m_pMainWnd = nullptr;
  int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
std::string AfxLoadString(UINT id);
