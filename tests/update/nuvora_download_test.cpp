// The installer download: progress display, the install question, empty files.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "tests/update/nuvora_case.h"

namespace nuvora_test {
namespace {

using NuvoraDownload = NuvoraCase;

struct Sample {
  unsigned received, total;
  int bar;
};

// Reads the progress text and bar until the download dialog ends. A sample is
// kept only when text and bar read the same twice, so that it is not taken in
// the moment between the two updates of one block.
std::vector<Sample> WatchProgress(NuvoraRun& run, HWND dialog, std::vector<std::string>* bad) {
  std::vector<Sample> samples;
  HWND bar = GetDlgItem(dialog, 1005);
  while (run.Find(Kind::Download) == dialog) {
    std::string text = ControlText(dialog, 1007);
    auto pos = SendMessageA(bar, PBM_GETPOS, 0, 0);
    Sleep(5);
    if (text != ControlText(dialog, 1007) || pos != SendMessageA(bar, PBM_GETPOS, 0, 0)) continue;
    if (text == "<no control>" || text.empty()) continue;  // the dialog is going away
    Sample s{0, 0, static_cast<int>(pos)};
    char again[64];
    if (std::sscanf(text.c_str(), "(%u kB  of  %u kB)", &s.received, &s.total) != 2) {
      bad->push_back(text);
      continue;
    }
    std::snprintf(again, sizeof again, "(%u kB  of  %u kB)", s.received, s.total);
    if (text != again) bad->push_back(text);
    samples.push_back(s);
    Sleep(10);
  }
  return samples;
}

int ExpectedBar(unsigned received, unsigned total) {
  if (received == 0) return 0;
  if (received >= total) return 100;
  return static_cast<int>(received * 100u / total);
}

TEST_F(NuvoraDownload, ProgressFollowsTheBlocksAndYesRunsTheInstaller) {
  NuvoraRun run(RunName());
  const std::string installer = run.ServeInstaller("setup.exe");
  const long long size = FileSize(run.ServedPath("setup.exe"));
  ASSERT_GT(size, 40 * 1024);
  const unsigned totalKb = static_cast<unsigned>(size / 1024);
  const Keys keys = {{"VerHi", "1"},
                     {"VerLo", "18"},
                     {"AppName", "ZOV Tools"},
                     {"Path001", installer + "?drip=25"},
                     {"FileName", "setup.exe"},
                     {"DlSize", std::to_string(totalKb)}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("setup.exe")));
  HWND dialog = run.WaitFor(Kind::Download);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Downloading 'ZOV Tools'...", ControlText(dialog, 1006));
  EXPECT_EQ(100, SendDlgItemMessageA(dialog, 1005, PBM_GETRANGE, FALSE, 0));

  std::vector<std::string> bad;
  const auto samples = WatchProgress(run, dialog, &bad);
  EXPECT_TRUE(bad.empty()) << bad.front();
  ASSERT_GE(samples.size(), 5u);
  unsigned previous = 0, between = 0;
  for (const auto& s : samples) {
    EXPECT_EQ(totalKb, s.total);
    EXPECT_EQ(ExpectedBar(s.received, s.total), s.bar) << s.received << " of " << s.total;
    EXPECT_GE(s.received, previous);
    previous = s.received;
    if (s.bar > 0 && s.bar < 100) ++between;
  }
  EXPECT_GE(between, 3u) << "the bar should move through the middle";
  EXPECT_LE(previous, totalKb);

  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NE(nullptr, box);
  EXPECT_NE(nullptr, GetDlgItem(box, IDYES));
  EXPECT_NE(nullptr, GetDlgItem(box, IDNO));
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDYES));
  EXPECT_EQ(ReadWholeFile(run.ServedPath("setup.exe")), ReadWholeFile(run.LocalPath("setup.exe")));
  const std::string marker = run.LocalPath("setup.exe.ran");
  for (int i = 0; i < 500 && !FileExists(marker); ++i) Sleep(20);
  EXPECT_TRUE(FileExists(marker)) << "the downloaded installer did not run";
}

// DlSize missing counts as 1 kB, DlSize 0 must not divide by zero.
TEST_F(NuvoraDownload, MissingOrZeroSizeStillShowsProgress) {
  for (int zero = 0; zero < 2; ++zero) {
    SCOPED_TRACE(zero ? "DlSize=0" : "DlSize missing");
    NuvoraRun run(RunName(zero));
    Keys keys = {{"VerHi", "2"}, {"Path001", Url("generated.bin?size=40960&drip=60&delay=1500")}};
    if (zero) keys.push_back({"DlSize", "0"});
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
    ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("generated.bin")));
    HWND dialog = run.WaitFor(Kind::Download);
    ASSERT_NE(nullptr, dialog);
    std::vector<std::string> bad;
    const auto samples = WatchProgress(run, dialog, &bad);
    EXPECT_TRUE(bad.empty()) << bad.front();
    bool sawStart = false, sawPast = false;
    for (const auto& s : samples) {
      EXPECT_EQ(zero ? 0u : 1u, s.total);
      EXPECT_EQ(s.received == 0 ? 0 : 100, s.bar) << s.received;
      if (s.received == 0) sawStart = true;
      if (s.received > 1) sawPast = true;  // the text counts past the total
    }
    EXPECT_TRUE(sawStart);
    EXPECT_TRUE(sawPast);
    HWND box = ExpectMessage(run, kInstallQuestion);
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
    EXPECT_EQ(40960, FileSize(run.LocalPath("generated.bin")));
    EXPECT_FALSE(FileExists(run.LocalPath("generated.bin.ran")));
  }
}

TEST_F(NuvoraDownload, ZeroLengthInstallerIsSavedAsAnEmptyFile) {
  NuvoraRun run(RunName());
  const Keys keys = {{"VerHi", "2"}, {"Path001", Url("empty.bin?size=0")}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("empty.bin")));
  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
  EXPECT_EQ(0, FileSize(run.LocalPath("empty.bin")));
}

}  // namespace
}  // namespace nuvora_test
