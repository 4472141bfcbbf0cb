// The password manager with the test doubles of PASSWORD.CPL and MPR.DLL,
// which write their calls to a log file.
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "saver/password_mgr.h"
#include "test_support.h"

namespace {

const char kDesktop[] = "Control Panel\\Desktop";

class Passwords : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    log = std::string(dir) + "verivir_fake_" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("VERIVIR_FAKE_LOG", log.c_str());
    SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", nullptr);
    SetEnvironmentVariableA("VERIVIR_FAKE_PROMPT_MS", nullptr);
    SHDeleteValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword");
  }
  void TearDown() override {
    PasswordMgr::instance()->Release();
    SHDeleteValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword");
    DeleteFileA(log.c_str());
  }
  static void UsePassword(DWORD value) {
    SHSetValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword", REG_DWORD, &value, 4);
  }
  std::string Log() const {
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static BOOL SaverRunning() {
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
  }
  std::string log;
};

TEST_F(Passwords, NotRequiredLoadsNothing) {
  for (int stored : {-1, 0, 1}) {
    if (stored == 0) UsePassword(0);
    // The control panel of Windows NT writes the flag as a string.
    if (stored == 1)
      SHSetValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword", REG_SZ, "0", 2);
    PasswordMgr* mgr = PasswordMgr::instance();
    EXPECT_FALSE(mgr->Prepare());
    EXPECT_FALSE(mgr->IsRequired());
    EXPECT_TRUE(mgr->Verify(nullptr));
    EXPECT_FALSE(SaverRunning());
  }
  EXPECT_EQ(Log(), "");
}

TEST_F(Passwords, RequiredLoadsVerifiesAndReleases) {
  SHSetValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword", REG_SZ, "1", 2);
  EXPECT_TRUE(IsPasswordEnabled()) << "\"1\" as a string";
  UsePassword(1);
  SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", "01");
  PasswordMgr* mgr = PasswordMgr::instance();
  EXPECT_EQ(PasswordMgr::instance(), mgr);
  EXPECT_TRUE(mgr->Prepare());
  EXPECT_TRUE(mgr->Prepare());  // still one library
  EXPECT_TRUE(SaverRunning());
  HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(4321));
  EXPECT_FALSE(mgr->Verify(owner));  // wrong password
  EXPECT_TRUE(mgr->Verify(owner));
  mgr->Release();
  EXPECT_FALSE(mgr->IsRequired());
  EXPECT_FALSE(SaverRunning());
  EXPECT_TRUE(mgr->Verify(owner));  // no library any more: no prompt
  EXPECT_EQ(Log(),
            "PASSWORD.CPL loaded\nVerifyScreenSavePwd 4321\nVerifyScreenSavePwd 4321\n"
            "PASSWORD.CPL unloaded\n");
}

// A close request that arrives while the prompt is open is refused.
bool g_nestedResult = true;
LRESULT CALLBACK NestedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) {
    g_nestedResult = PasswordMgr::instance()->Verify(hwnd);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST_F(Passwords, SecondVerifyWhilePromptIsOpenIsRefused) {
  UsePassword(1);
  SetEnvironmentVariableA("VERIVIR_FAKE_PROMPT_MS", "300");
  HWND wnd = testing_support::CreateTestWindow(50, 50, false);
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NestedProc));
  PasswordMgr* mgr = PasswordMgr::instance();
  ASSERT_TRUE(mgr->Prepare());
  PostMessageA(wnd, WM_APP, 0, 0);
  EXPECT_TRUE(mgr->Verify(wnd));
  EXPECT_FALSE(g_nestedResult);
  size_t prompts = 0;
  for (size_t at = Log().find("Verify"); at != std::string::npos; at = Log().find("Verify", at + 1))
    ++prompts;
  EXPECT_EQ(prompts, 1u);
  DestroyWindow(wnd);
}

// The change dialog runs in the /a tests of Verivir.scr, where MPR.DLL can be
// forced to the test double before the process starts.

}  // namespace
