// Shared by the black-box cases: the fixture, texts Nuvora shows, and INI building.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/update/nuvora_driver.h"

namespace nuvora_test {

inline const char kNoConnection[] =
    "ERROR : Cannot connect to the Server !\nPlease connect to the Internet before running Update "
    "utility.";
inline const char kCannotWrite[] = "ERROR : Cannot write to local Disk !";
inline const char kNoNewer[] = "Sorry, there is no newer version available on the Server !";
inline const char kCannotOpenUrl[] =
    "ERROR : Cannot open the specified URL !\nPlease contact the service at Morvel Software "
    "Development :\n\nsupport@example.com\n\nThank you.";
inline const char kCorruptFile[] =
    "ERROR : The configuration File is corrupt !\nPlease contact the service at Morvel Software "
    "Development :\n\nsupport@example.com\n\nThank you.";
inline const char kStopQuestion[] = "Are you sure you want to stop downloading ?";
inline const char kInstallQuestion[] =
    "Download completed successfully !\nDo you want to install the downloaded software now ?";
inline const char kConnectionReset[] = "ERROR : The connection with the Internet URL was reset !";
inline const char kConnecting[] = "Connecting to Server\nPlease wait...";
inline const char kDamaged[] =
    "ERROR : The downloaded file is damaged or was changed on the way. It has been deleted.";
inline const char kUnverified[] =
    "ERROR : The update information could not be verified !\nIt may not come from Morvel Software "
    "Development. Nothing was downloaded.";
inline const char kReplayed[] =
    "ERROR : The update information is older than the one received before !\nSomeone may be "
    "replaying an old version. Nothing was downloaded.";
inline const char kExpired[] =
    "ERROR : The update information on the Server has expired !\nPlease try again later. Nothing "
    "was downloaded.";
inline const char kBadCertificate[] =
    "ERROR : The Server's certificate is not valid !\nThe connection is not safe. Nothing was "
    "downloaded.";
inline const char kInsecureRedirect[] =
    "ERROR : The Server sent the connection on to an address that is not secure !\nNothing was "
    "downloaded.";
inline const char kStalled[] = "ERROR : The Server stopped answering !\nPlease try again later.";
inline const char kStartFailed[] = "ERROR : The downloaded installer could not be started !";
inline const char kLoading[] = "Loading information\nPlease wait...";

// Whether the connecting dialog shows "Loading information" within ms.
inline bool ShowsLoading(HWND connecting, DWORD ms) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20))
    if (ControlText(connecting, 1011) == kLoading) return true;
  return ControlText(connecting, 1011) == kLoading;
}

class NuvoraCase : public ::testing::Test {
 protected:
  // Every case starts without a feed Serial remembered.
  void SetUp() override { ForgetFeedSerials(); }

  // A folder name unique to this case (and to the n-th run within it).
  static std::string RunName(int n = 0) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "_" + info->name() + "_" + std::to_string(n);
  }

  // Waits for a message box and checks its text; returns it (nullptr on failure).
  static HWND ExpectMessage(NuvoraRun& run, const std::string& text) {
    HWND box = run.WaitFor(Kind::Message);
    EXPECT_NE(nullptr, box) << "no message box, expected: " << text;
    if (box) {
      // The box may show before its text is in place.
      for (int i = 0; i < 100 && MessageText(box).empty(); ++i) Sleep(20);
      EXPECT_EQ(text, MessageText(box));
    }
    return box;
  }

  // Presses a button of a message box and expects the program to end with 0.
  static void AnswerAndExpectExit(NuvoraRun& run, HWND box, int button) {
    ASSERT_NE(nullptr, box);
    Press(box, button);
    DWORD code = 1234;
    ASSERT_EQ("", run.ExitsWithoutMessage(&code));
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(run.TemporaryFilePresent());
  }

  // Starts a run on a feed served as given; expects the offer and cancels it.
  static void ExpectOffered(NuvoraRun& run, const std::string& feedUrl) {
    ASSERT_TRUE(run.Start(feedUrl + ",Verivir,1,17"));
    HWND info = run.WaitFor(Kind::Information);
    ASSERT_NE(nullptr, info) << "no offer; message: " << MessageText(run.Find(Kind::Message));
    Press(info, IDCANCEL);
    DWORD code = 1234;
    ASSERT_EQ("", run.ExitsWithoutMessage(&code));
  }

  // Information dialog: optionally select a language, press "Get it !", fill Save As.
  static void ChooseAndSave(NuvoraRun& run, int selection, const std::string& target) {
    HWND info = run.WaitFor(Kind::Information);
    ASSERT_NE(nullptr, info);
    if (selection >= 0) SendMessageA(GetDlgItem(info, 1003), CB_SETCURSEL, selection, 0);
    Press(info, IDOK);
    ASSERT_TRUE(run.SaveAs(target));
  }
};

}  // namespace nuvora_test
