// Failure reports are real message boxes; a watcher thread reads and closes them.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "glx/report_failure.h"
#include "tests/win/test_support.h"

namespace {

struct Seen {
  std::string caption, body;
  bool okOnly = false;
};

// Waits for the failure box, records it and presses its OK button.
Seen CloseFailureBox() {
  Seen seen;
  HWND box = nullptr;
  for (int i = 0; i < 500 && !box; ++i) {
    box = FindWindowA("#32770", "Zovglx failure");
    if (!box) Sleep(10);
  }
  if (!box) return seen;
  seen.caption = testing_support::WindowText(box);
  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message text control
  seen.body = text;
  seen.okOnly = GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) && !GetDlgItem(box, IDYES);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return seen;
}

TEST(ReportFailure, ShowsTheContextAndTheMessageUnderTheFixedCaption) {
  Seen seen;
  std::thread watcher([&] { seen = CloseFailureBox(); });
  glx::report_failure("COpenGLWnd::DoClose", 5);
  watcher.join();
  EXPECT_EQ(seen.caption, "Zovglx failure");
  EXPECT_EQ(seen.body,
            "COpenGLWnd::DoClose caught an exception with the following message:\n\n"
            "A window-close request generated an unexpected error.");
  EXPECT_TRUE(seen.okOnly);
}

TEST(ReportFailure, DetailIsFormattedIntoTheTextOfTheError) {
  Seen seen;
  std::thread watcher([&] { seen = CloseFailureBox(); });
  glx::report_failure("COpenGLWnd::OnCreate", 2, "out of quadrics");
  watcher.join();
  EXPECT_EQ(seen.body,
            "COpenGLWnd::OnCreate caught an exception with the following message:\n\n"
            "The animator engine could not be created. The following exception was thrown:\n\n"
            "out of quadrics");
}

}  // namespace
