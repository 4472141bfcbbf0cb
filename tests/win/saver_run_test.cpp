// Verivir.scr as Windows starts it: its own process, driven by real input.
#include <shlwapi.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::WaitFor;

const char kRoot[] = "Software\\Morvel Software Development";
const char kOverrides[] = "Software\\Wine\\AppDefaults\\Verivir.scr\\DllOverrides";
const char kSettings[] = "Software\\Morvel Software Development\\Screen Savers\\Verivir\\1.1";

std::string Beside(const char* file) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  PathRemoveFileSpecA(path);
  return std::string(path) + "\\" + file;
}

bool KeyExists(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Share of the screen's pixels that are not black, or -1. It is read from the X
// screen with X's own tools (Wine runs Unix programs too): Wine's GDI does not
// see what OpenGL draws into another process's window.
double LitShareOfScreen() {
  const std::string out = Beside("saver_run_screen.txt");
  DeleteFileA(out.c_str());
  std::string unixOut = out.substr(2);  // the build folder is on Z:, the Unix root
  for (char& ch : unixOut)
    if (ch == '\\') ch = '/';
  // A Unix program's handle tells nothing about its end: the file it renames into
  // place when done is the handshake.
  std::string line =
      "/bin/sh -c \"xwd -root -silent | convert xwd:- -separate -evaluate-sequence max "
      "-threshold 10% -format '%[fx:mean]' info: > '" +
      unixOut + ".tmp' && mv '" + unixOut + ".tmp' '" + unixOut + "'\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION reader = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &reader))
    return -1;
  CloseHandle(reader.hProcess);
  CloseHandle(reader.hThread);
  if (!WaitFor([&] { return GetFileAttributesA(out.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
    return -1;
  std::ifstream in(out);
  double share = -1;
  if (!(in >> share)) share = -1;
  return share;
}

// A frame of the scene: something drawn on the black background, which still
// covers most of the screen.
bool FrameShown() {
  const double share = LitShareOfScreen();
  return share > 0.0003 && share < 0.5;
}

// Whether keys go to hwnd: it is the foreground window and has its thread's focus.
bool HasKeys(HWND hwnd) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return GetForegroundWindow() == hwnd &&
         GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) && info.hwndFocus == hwnd;
}

class SaverRun : public ::testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, kRoot);
    SHDeleteValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
    log = Beside("saver_run_calls.log");
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("VERIVIR_FAKE_LOG", log.c_str());
    // Wine's own MPR.DLL would win over the test double beside the program.
    SHSetValueA(HKEY_CURRENT_USER, kOverrides, "mpr", REG_SZ, "native,builtin", 15);
  }
  void TearDown() override {
    End();
    SHDeleteKeyA(HKEY_CURRENT_USER, kRoot);
    SHDeleteValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
    SHDeleteValueA(HKEY_CURRENT_USER, kOverrides, "mpr");
    DeleteFileA(log.c_str());
  }

  void Start(const std::string& args) {
    std::string line = "\"" + Beside("Verivir.scr") + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    ASSERT_TRUE(
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  }
  // Ends a process that is still running and forgets it.
  void End() {
    if (!pi.hProcess) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = {};
  }
  // Exit code once the process ended within ms, else -1000.
  long ExitWithin(DWORD ms) {
    if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -1000;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<long>(code);
  }
  bool Running(DWORD ms = 700) { return WaitForSingleObject(pi.hProcess, ms) == WAIT_TIMEOUT; }
  HWND Window(const char* title, const char* property = nullptr, DWORD ms = 15000) {
    // property: when set, the window must carry it.
    auto match = [&](HWND hwnd) {
      return (!title || testing_support::WindowText(hwnd) == title) &&
             (!property || GetPropA(hwnd, property));
    };
    HWND found = nullptr;
    WaitFor(
        [&] {
          found = testing_support::FindTopWindow(pi.dwProcessId, match);
          return found != nullptr || !Running(0);  // an ended process shows nothing more
        },
        ms);
    return found;
  }
  // The full-screen window once it says that its scene is ready (input is
  // ignored while the scene prepares) and holds the keys. It takes the
  // foreground as it gets ready; a window shown since may have taken it.
  HWND ReadySaver() {
    HWND saver = Window("ZOV Verivir", "VerivirSceneReady", 120000);
    if (!saver) {
      ADD_FAILURE() << "no ready saver; process " << (Running(0) ? "running" : "ended")
                    << (Window("ZOV Verivir", nullptr, 0) ? ", its window not ready"
                                                          : ", no window");
      return nullptr;
    }
    if (!HasKeys(saver)) SetForegroundWindow(saver);
    if (WaitFor([&] { return HasKeys(saver); }, 10000)) return saver;
    ADD_FAILURE() << "the ready saver does not get the keys";
    return nullptr;
  }
  // /s with a password, whose check the fake verifier answers in turn from
  // answers ('0' refused, '1' accepted); the ready saver, or null.
  HWND StartLocked(const char* answers) {
    DWORD on = 1;
    SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD,
                &on, 4);
    SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", answers);
    Start("/s");
    return ReadySaver();
  }
  std::string Log() const {
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  PROCESS_INFORMATION pi = {};
  std::string log;
};

void MoveTo(int x, int y) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65536 + w - 1) / w;
  in.mi.dy = (y * 65536 + h - 1) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void Key(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

void Click() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
}

bool CursorHidden() {
  CURSORINFO ci = {};
  ci.cbSize = sizeof ci;
  return GetCursorInfo(&ci) && ci.hCursor == nullptr;
}

// The input rules themselves are checked in-process (saver window tests);
// these runs show that a started saver takes input at all.
TEST_F(SaverRun, FullScreenTopmostWithoutCursorAndAKeyCloses) {
  MoveTo(500, 400);
  Start("/s");
  HWND saver = ReadySaver();
  ASSERT_TRUE(saver);
  RECT r;
  GetWindowRect(saver, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(GetWindowLongPtrA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongPtrA(saver, GWL_STYLE) & WS_POPUP);
  // One pixel from where the pointer has been since before the start, so the
  // move cannot close whatever reference the saver took; it sets the cursor.
  MoveTo(501, 400);
  EXPECT_TRUE(WaitFor(CursorHidden, 10000));
  Key(VK_F5);
  EXPECT_EQ(ExitWithin(15000), 0);
  EXPECT_TRUE(KeyExists((std::string(kSettings) + "\\General").c_str()));
}

TEST_F(SaverRun, EverySpellingOfTheRunSwitchRunsFullScreen) {
  for (const char* args : {"/S", "-s", "x/s", "/s /c"}) {
    SCOPED_TRACE(args);
    Start(args);
    ASSERT_TRUE(ReadySaver());
    Click();
    EXPECT_EQ(ExitWithin(15000), 0);
    End();
  }
}

TEST_F(SaverRun, WrongPasswordKeepsRunningRightOneCloses) {
  HWND saver = StartLocked("01");
  ASSERT_TRUE(saver);
  Key(VK_SPACE);
  ASSERT_TRUE(
      WaitFor([&] { return Log().find("VerifyScreenSavePwd") != std::string::npos; }, 15000));
  EXPECT_TRUE(Running(0));
  Click();
  EXPECT_EQ(ExitWithin(15000), 0);
  std::ostringstream expected;
  expected << "PASSWORD.CPL loaded\nVerifyScreenSavePwd " << reinterpret_cast<UINT_PTR>(saver)
           << "\nVerifyScreenSavePwd " << reinterpret_cast<UINT_PTR>(saver)
           << "\nPASSWORD.CPL unloaded\n";
  EXPECT_EQ(Log(), expected.str());
}

// With a password the saver is the machine's lock: a WM_QUIT that another
// program posts to it is swallowed. Keys posted behind the quit are handled
// after it: the first is refused and the saver goes on, the second closes.
TEST_F(SaverRun, AQuitPostedFromOutsideDoesNotOpenTheLock) {
  HWND saver = StartLocked("01");
  ASSERT_TRUE(saver);
  ASSERT_TRUE(PostThreadMessageA(GetWindowThreadProcessId(saver, nullptr), WM_QUIT, 0, 0));
  PostMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(ExitWithin(15000), 0);
  std::ostringstream expected;
  expected << "PASSWORD.CPL loaded\nVerifyScreenSavePwd " << reinterpret_cast<UINT_PTR>(saver)
           << "\nVerifyScreenSavePwd " << reinterpret_cast<UINT_PTR>(saver)
           << "\nPASSWORD.CPL unloaded\n";
  EXPECT_EQ(Log(), expected.str()) << "the quit asked once and closed whatever the answer";
}

TEST_F(SaverRun, NoPasswordLoadsNoLibrary) {
  Start("/s");
  ASSERT_TRUE(ReadySaver());
  Click();
  EXPECT_EQ(ExitWithin(15000), 0);
  EXPECT_EQ(Log(), "");
}

TEST_F(SaverRun, ChangePasswordCallsMprForTheGivenWindowAndKeepsSettings) {
  Start("/a 1234");
  EXPECT_EQ(ExitWithin(15000), 0);
  EXPECT_EQ(Log().find("MPR.DLL loaded\nPwdChangePasswordA SCRSAVE 1234 0 "), 0u) << Log();
  EXPECT_NE(Log().find("MPR.DLL unloaded"), std::string::npos);
  EXPECT_TRUE(KeyExists((std::string(kSettings) + "\\Text").c_str()));
}

TEST_F(SaverRun, PreviewFillsTheParentAndEndsWithIt) {
  HWND parent = testing_support::CreateTestWindow(200, 150, true, 50, 50);
  Start("/p " + std::to_string(reinterpret_cast<UINT_PTR>(parent)));
  HWND child = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] { return (child = FindWindowExA(parent, nullptr, nullptr, "ZOV Verivir")) != nullptr; },
      15000));
  RECT client, rect;
  GetClientRect(parent, &client);
  GetClientRect(child, &rect);
  EXPECT_EQ(rect.right, client.right);
  EXPECT_EQ(rect.bottom, client.bottom);
  EXPECT_TRUE(WaitFor(
      [&] {
        return (GetWindowLongPtrA(child, GWL_STYLE) & (WS_CHILD | WS_VISIBLE)) ==
               (WS_CHILD | WS_VISIBLE);
      },
      5000))
      << std::hex << GetWindowLongPtrA(child, GWL_STYLE);
  EXPECT_TRUE(GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(Running(1000));
  DestroyWindow(parent);
  long code = -1000;
  WaitFor([&] { return (code = ExitWithin(0)) != -1000; }, 15000);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(KeyExists((std::string(kSettings) + "\\General").c_str()));
}

// The control panel closes while the preview is still being made, or while
// it builds its scene (its window shows as the build begins): the preview
// ends at once, without holding up the control panel's thread.
TEST_F(SaverRun, APreviewWhoseParentClosesDuringItsStartEndsAtOnce) {
  for (bool shown : {false, true}) {
    SCOPED_TRACE(shown ? "building" : "being made");
    HWND parent = testing_support::CreateTestWindow(200, 150, true, 50, 50);
    Start("/p " + std::to_string(reinterpret_cast<UINT_PTR>(parent)));
    ASSERT_TRUE(WaitFor(
        [&] {
          HWND child = FindWindowExA(parent, nullptr, nullptr, "ZOV Verivir");
          return child && (!shown || IsWindowVisible(child));
        },
        15000));
    const DWORD start = GetTickCount();
    DestroyWindow(parent);
    const DWORD destroyed = GetTickCount() - start;
    long code = -1000;
    WaitFor([&] { return (code = ExitWithin(0)) != -1000; }, 15000);
    const DWORD ended = GetTickCount() - start;
    std::printf("[ figures  ] %s: parent destroyed in %lu ms; preview ended %lu ms after\n",
                shown ? "building" : "being made", static_cast<unsigned long>(destroyed),
                static_cast<unsigned long>(ended));
    EXPECT_EQ(code, 0);
    // Within 1 s on an idle machine; the margin is for a loaded one.
    EXPECT_LT(ended, 3000u);
    End();
  }
}

TEST_F(SaverRun, MutedPreviewCreatesNoWindow) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const BYTE muted = 2;
  RegSetValueExA(key, "MutePreview", 0, REG_BINARY, &muted, 1);
  RegCloseKey(key);
  HWND parent = testing_support::CreateTestWindow(200, 150, true, 50, 50);
  Start("/p " + std::to_string(reinterpret_cast<UINT_PTR>(parent)));
  EXPECT_EQ(ExitWithin(15000), 0);
  EXPECT_EQ(FindWindowExA(parent, nullptr, nullptr, nullptr), nullptr);
  DestroyWindow(parent);
}

TEST_F(SaverRun, PreviewOfNoWindowReportsAndEnds) {
  Start("/p:1234");
  HWND box = Window("Verivir");
  ASSERT_TRUE(box);
  HWND text = FindWindowExA(box, nullptr, "Static", nullptr);
  for (; text; text = FindWindowExA(box, text, "Static", nullptr))
    if (testing_support::WindowText(text).find("Cannot create main window!") == 0) break;
  EXPECT_TRUE(text);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(ExitWithin(10000), 0);
}

TEST_F(SaverRun, MissingOrUnknownSwitchOpensTheSettings) {
  for (const char* args : {"", "/x", "/", "/c"}) {
    SCOPED_TRACE(args);
    Start(args);
    HWND sheet = Window("Configure Verivir");
    ASSERT_TRUE(sheet);
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ExitWithin(10000), 0);
    End();
  }
}

TEST_F(SaverRun, FirstFrameIsDrawnAndAKeyEndsIt) {
  Start("/s");
  HWND saver = ReadySaver();
  ASSERT_TRUE(saver);
  // Frames follow the preparation; under CPU emulation the first one is slow.
  EXPECT_TRUE(WaitFor(FrameShown, 90000));
  const double share = LitShareOfScreen();
  EXPECT_GT(share, 0.0003) << "a black screen";
  EXPECT_LT(share, 0.5) << "not a scene on a black background";
  Key(VK_SPACE);
  EXPECT_EQ(ExitWithin(10000), 0);
}

TEST_F(SaverRun, SettingsSwitchThroughTheFiveTabsAndClose) {
  Start("/c");
  HWND sheet = Window("Configure Verivir");
  ASSERT_TRUE(sheet);
  HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
  const char* captions[] = {"About Verivir", "About OpenGL", "General", "Text", "Verivir"};
  HWND seen[5] = {};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(captions[i]);
    EXPECT_TRUE(SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(i), 0));
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), i);
    seen[i] = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_TRUE(seen[i]);
    EXPECT_EQ(GetParent(seen[i]), sheet);
    EXPECT_TRUE(IsWindowVisible(seen[i]));
    if (i > 0) {
      EXPECT_FALSE(IsWindowVisible(seen[i - 1])) << "the page before stays shown";
    }
    EXPECT_EQ(testing_support::WindowText(seen[i]), captions[i]);
    for (int j = 0; j < i; ++j) EXPECT_NE(seen[j], seen[i]) << "the same page as tab " << j;
  }
  PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(ExitWithin(15000), 0);
}

}  // namespace
