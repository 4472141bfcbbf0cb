// The wait dialog while the scene builds, seen from the render thread, and its clip.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "scene/wait_dlg_resource.h"
#include "tests/win/scene_harness.h"
#include "tests/win/test_support.h"

using scene_testing::ResetSettings;
using scene_testing::RunOptions;
using scene_testing::RunScene;
using scene_testing::TestScene;

namespace {

DWORD g_testThread = GetCurrentThreadId();  // the windows' thread: the test's main thread

// The wait dialog of this process, looked up from a new thread.
HWND FindWaitDialog() {
  HWND found = nullptr;
  std::thread([&] {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, "#32770", "ZOV Verivir")) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(h, &pid);
      if (pid == GetCurrentProcessId()) {
        found = h;
        return;
      }
    }
  }).join();
  return found;
}

// The set-up holds until the dialog is up and in front: it shows only for a
// set-up that takes longer than a moment.
HWND AwaitWaitDialog() {
  HWND dlg = nullptr;
  for (DWORD waited = 0; waited < 10000; waited += 10) {
    dlg = FindWaitDialog();
    if (dlg && IsWindowVisible(dlg) && GetForegroundWindow() == dlg) break;
    Sleep(10);
  }
  return dlg;
}

struct Seen {
  bool dialog = false, preparing = false, visible = false, foreground = false, sysModal = false;
  bool ownThread = false;  // the window's thread, which keeps it painted
  std::string text, control;
  RECT rect = {};
};

Seen Look(TestScene& scene) {
  Seen s;
  s.preparing = scene._preparing;
  HWND dlg = FindWaitDialog();
  s.dialog = dlg != nullptr;
  if (!dlg) return s;
  s.visible = IsWindowVisible(dlg) != 0;
  s.ownThread = GetWindowThreadProcessId(dlg, nullptr) == g_testThread;
  s.foreground = GetForegroundWindow() == dlg;
  s.sysModal = (GetWindowLongPtrA(dlg, GWL_STYLE) & (DS_SYSMODAL | DS_SETFOREGROUND)) ==
               (DS_SYSMODAL | DS_SETFOREGROUND);
  GetWindowRect(dlg, &s.rect);
  char buffer[256] = {};
  HWND anim = GetDlgItem(dlg, IDC_WAIT_ANIMATE);
  if (anim) GetClassNameA(anim, buffer, sizeof buffer);
  s.control = buffer;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    GetClassNameA(c, buffer, sizeof buffer);
    if (lstrcmpiA(buffer, "Static") == 0) {
      GetWindowTextA(c, buffer, sizeof buffer);
      s.text = buffer;
    }
  }
  return s;
}

TEST(WaitDialog, IsUpWhileTheSceneBuildsAndGoneAfterwards) {
  ResetSettings();
  RunOptions o;
  o.frames = 1;
  Seen during, after;
  TestScene* built = nullptr;
  o.duringInit = [&](TestScene& scene) {
    AwaitWaitDialog();
    during = Look(scene);
    built = &scene;
  };
  o.beforeClose = [&] {
    testing_support::WaitFor([&] { return !FindWaitDialog(); });
    after = Look(*built);
  };
  auto r = RunScene(o);
  ASSERT_TRUE(r.initOk);
  EXPECT_TRUE(during.dialog);
  EXPECT_TRUE(during.preparing);
  EXPECT_TRUE(during.ownThread) << "made on the window's thread, not the render thread";
  EXPECT_TRUE(during.visible);
  EXPECT_TRUE(during.foreground);
  EXPECT_TRUE(during.sysModal);
  EXPECT_EQ(during.control, "SysAnimate32");
  EXPECT_EQ(during.text, "Please wait while Verivir prepares the 3D scene in memory...");
  // Centred on the screen.
  int cx = (during.rect.left + during.rect.right) / 2,
      cy = (during.rect.top + during.rect.bottom) / 2;
  EXPECT_NEAR(cx, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  EXPECT_NEAR(cy, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
  EXPECT_FALSE(after.dialog);
  EXPECT_FALSE(after.preparing);
}

// A set-up that fails (here in the engine's part) takes the dialog away all the same.
TEST(WaitDialog, IsGoneAlsoWhenTheSetUpFails) {
  ResetSettings();
  RunOptions o;
  o.frames = 1;
  o.expectFrames = false;
  Seen during, after;
  TestScene* failed = nullptr;
  o.duringInit = [&](TestScene& scene) {
    AwaitWaitDialog();
    during = Look(scene);
    failed = &scene;
    throw std::runtime_error("test: no pixel format");
  };
  o.beforeClose = [&] {
    testing_support::WaitFor([&] { return !FindWaitDialog(); });
    after = Look(*failed);
  };
  auto r = RunScene(o);
  EXPECT_FALSE(r.initOk);
  EXPECT_TRUE(r.frames.empty());
  EXPECT_TRUE(during.dialog);
  EXPECT_TRUE(during.preparing);
  EXPECT_FALSE(after.dialog);
  EXPECT_FALSE(after.preparing);
}

TEST(WaitDialog, ClipIsAnUncompressedLoopOf35Frames) {
  HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_WAIT_AVI), "AVI");
  ASSERT_NE(res, nullptr);
  const auto* avi = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, res)));
  ASSERT_NE(avi, nullptr);
  auto u32 = [&](size_t at) {
    DWORD v;
    memcpy(&v, avi + at, 4);
    return v;
  };
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(avi), 4), "RIFF");
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(avi + 8), 4), "AVI ");
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(avi + 24), 4), "avih");
  EXPECT_EQ(u32(32), 200000u);  // microseconds per frame
  EXPECT_EQ(u32(48), 35u);      // frames
  EXPECT_EQ(u32(64), 32u);      // width
  EXPECT_EQ(u32(68), 32u);      // height
  // The stream format: an 8-bit uncompressed bitmap.
  std::string all(reinterpret_cast<const char*>(avi), SizeofResource(nullptr, res));
  size_t strf = all.find("strf");
  ASSERT_NE(strf, std::string::npos);
  WORD bits;
  memcpy(&bits, avi + strf + 8 + 14, 2);
  EXPECT_EQ(bits, 8);
  EXPECT_EQ(u32(strf + 8 + 16), 0u);  // BI_RGB
  // Every frame differs from the next, so the clip visibly turns.
  size_t first = all.find("00db"), second = all.find("00db", first + 8);
  ASSERT_NE(second, std::string::npos);
  EXPECT_NE(all.substr(first + 8, 1024), all.substr(second + 8, 1024));
}

}  // namespace
