// What a download may and may not leave behind or start: keys that would end it
// early, an existing file of the same name, checksums, files that are no program.
#include <windows.h>

#include "tests/update/nuvora_case.h"

namespace nuvora_test {
namespace {

const char kNotStarted[] =
    "The downloaded file has been saved, but it is not a program or an installer package, so it "
    "was not started.";
// SHA-256 of "ZOV installer bytes".
const char kInstallerSha256[] = "08c7d83aaca9172a20f7b394164e5e717016bef10387f74702c824e67973eb2e";

class NuvoraDownloadSafety : public NuvoraCase {
 protected:
  // Starts a run that offers one installer at url and saves it to target.
  static void StartDownload(NuvoraRun& run, const Keys& extra, const std::string& url,
                            const std::string& target) {
    Keys keys = {{"VerHi", "2"}, {"DlSize", "100"}, {"Path001", url}};
    keys.insert(keys.end(), extra.begin(), extra.end());
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
    ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, target));
  }
};

TEST_F(NuvoraDownloadSafety, EnterAndEscapeAskToStopAndNeverFinishTheDownload) {
  NuvoraRun run(RunName());
  // The server holds the body after 8 kB until the test opens the gate.
  const std::string gate = run.ServedPath("gate");
  const std::string url = Url("held.bin?size=100000&hold=8192&gate=" + RunName() + "/gate");
  ASSERT_NO_FATAL_FAILURE(StartDownload(run, {}, url, run.LocalPath("held.bin")));
  HWND dialog = run.WaitFor(Kind::Download);
  ASSERT_NE(nullptr, dialog);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
    // Through the dialog manager, as a key press arrives.
    PostMessageA(dialog, WM_KEYDOWN, key, 0);
    PostMessageA(dialog, WM_KEYUP, key, 0);
    HWND question = ExpectMessage(run, kStopQuestion);
    ASSERT_NE(nullptr, question);
    Press(question, IDNO);
    for (int i = 0; i < 250 && run.Find(Kind::Message); ++i) Sleep(20);
    ASSERT_EQ(nullptr, run.Find(Kind::Message));
    EXPECT_EQ(dialog, run.Find(Kind::Download)) << "the download must go on";
    EXPECT_FALSE(FileExists(run.LocalPath("held.bin")));
  }
  WriteTextFile(gate, "");
  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
  EXPECT_EQ(100000, FileSize(run.LocalPath("held.bin")));
  EXPECT_EQ(0, run.LeftoverPartialFiles());
}

TEST_F(NuvoraDownloadSafety, ExistingFileSurvivesFailuresAndAStopAndIsReplacedOnSuccess) {
  const std::string old = "the installer the user already had";
  struct Case {
    const char* what;
    std::string url;
    const char* message;  // nullptr: stopped by the user
  };
  const std::vector<Case> cases = {
      {"not found", Url("no/such/setup.exe"), kCannotOpenUrl},
      {"reset", Url("big.bin?size=300000&close=60000"), kConnectionReset},
      {"short body", Url("big.bin?size=300000&cut=60000"), kConnectionReset},
      {"stopped", Url("big.bin?size=300000&drip=50"), nullptr},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    NuvoraRun run(RunName(static_cast<int>(i)));
    const std::string target = run.LocalPath("keep.exe");
    ASSERT_TRUE(WriteTextFile(target, old));
    ASSERT_NO_FATAL_FAILURE(StartDownload(run, {}, cases[i].url, target));
    if (cases[i].message) {
      HWND box = ExpectMessage(run, cases[i].message);
      ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
    } else {
      HWND dialog = run.WaitFor(Kind::Download);
      ASSERT_NE(nullptr, dialog);
      Press(dialog, IDCANCEL);
      HWND question = ExpectMessage(run, kStopQuestion);
      ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, question, IDYES));
    }
    EXPECT_EQ(old, ReadWholeFile(target));
    EXPECT_EQ(0, run.LeftoverPartialFiles());
  }
  NuvoraRun run(RunName(9));
  const std::string target = run.LocalPath("keep.exe");
  ASSERT_TRUE(WriteTextFile(target, old));
  ASSERT_NO_FATAL_FAILURE(StartDownload(run, {}, run.Serve("new.exe", "new installer"), target));
  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
  EXPECT_EQ("new installer", ReadWholeFile(target));
  EXPECT_EQ(0, run.LeftoverPartialFiles());
}

TEST_F(NuvoraDownloadSafety, ChecksumDecidesWhetherTheFileIsOffered) {
  {
    SCOPED_TRACE("match");
    NuvoraRun run(RunName(0));
    const std::string url = run.Serve("ok.exe", "ZOV installer bytes");
    ASSERT_NO_FATAL_FAILURE(
        StartDownload(run, {{"Sha256001", kInstallerSha256}}, url, run.LocalPath("ok.exe")));
    HWND box = ExpectMessage(run, kInstallQuestion);
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
    EXPECT_EQ("ZOV installer bytes", ReadWholeFile(run.LocalPath("ok.exe")));
  }
  struct Bad {
    const char* what;
    std::string path;
    Keys keys;
  };
  const std::string sizes = "generated.bin?size=100000";
  const std::vector<Bad> bad = {
      {"changed on the way", "changed.exe", {{"Sha256001", kInstallerSha256}}},
      // The feed binds the whole body, of which half arrives.
      {"chunked body cut short", sizes + "&chunked=1&cut=50000", {}},
      // Never more than the feed's Length is written, announced or not.
      {"longer than its Length", sizes, {{"Length001", "50000"}}},
      {"longer than its Length, unannounced", sizes + "&chunked=1", {{"Length001", "50000"}}},
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(bad[i].what);
    NuvoraRun run(RunName(static_cast<int>(i) + 1));
    const std::string target = run.LocalPath("setup.exe");
    ASSERT_TRUE(WriteTextFile(target, "older"));
    run.Serve("changed.exe", "ZOV installer bytes, but not the same");
    ASSERT_NO_FATAL_FAILURE(StartDownload(
        run, bad[i].keys, Url(RunName(static_cast<int>(i) + 1) + "/" + bad[i].path), target));
    HWND box = ExpectMessage(run, kDamaged);
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
    EXPECT_EQ("older", ReadWholeFile(target));
    EXPECT_EQ(0, run.LeftoverPartialFiles());
  }
}

// The worker's own result decides, not a message any window can post.
TEST_F(NuvoraDownloadSafety, ForgedOutcomeDoesNotFinishADamagedDownload) {
  NuvoraRun run(RunName());
  const std::string url = Url("held.bin?size=100000&hold=8192&gate=" + RunName() + "/gate");
  ASSERT_NO_FATAL_FAILURE(
      StartDownload(run, {{"Sha256001", std::string(64, '0')}}, url, run.LocalPath("held.bin")));
  HWND dialog = run.WaitFor(Kind::Download);
  ASSERT_NE(nullptr, dialog);
  PostMessageA(dialog, WM_APP + 1, 1, 0);
  // Posted after the forgery, so handled after it: once the stop question shows,
  // the dialog has seen the forgery and lived.
  Press(dialog, IDCANCEL);
  HWND question = ExpectMessage(run, kStopQuestion);
  ASSERT_NE(nullptr, question);
  Press(question, IDNO);
  WriteTextFile(run.ServedPath("gate"), "");
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, ExpectMessage(run, kDamaged), IDOK));
  EXPECT_FALSE(FileExists(run.LocalPath("held.bin")));
}

TEST_F(NuvoraDownloadSafety, SilentServerEndsWithAMessageAndStopStillWorks) {
  // The server sends the headers and 4 kB, then nothing; the test build gives up
  // after a few seconds of silence (the product after 60).
  const std::string stall = "?size=100000&hold=4096&gate=never";
  {
    SCOPED_TRACE("update description");
    NuvoraRun run(RunName(0));
    ASSERT_TRUE(run.Start(Url("update.ini" + stall) + ",Verivir,1,17"));
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, ExpectMessage(run, kStalled), IDOK));
  }
  for (int stop = 0; stop < 2; ++stop) {
    SCOPED_TRACE(stop ? "installer, stopped" : "installer");
    NuvoraRun run(RunName(1 + stop));
    ASSERT_NO_FATAL_FAILURE(
        StartDownload(run, {}, Url("stalled.bin" + stall), run.LocalPath("stalled.bin")));
    if (stop) {
      HWND dialog = run.WaitFor(Kind::Download);
      ASSERT_NE(nullptr, dialog);
      for (int i = 0; i < 250 && run.PartialFileSize() < 4096; ++i) Sleep(20);
      Press(dialog, IDCANCEL);
      // Before the server counts as silent, and without waiting for the blocked read.
      ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, ExpectMessage(run, kStopQuestion), IDYES));
    } else {
      ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, ExpectMessage(run, kStalled), IDOK));
    }
    EXPECT_FALSE(FileExists(run.LocalPath("stalled.bin")));
    EXPECT_EQ(0, run.LeftoverPartialFiles());
  }
}

// From the install question until it starts, the checked file cannot be changed,
// and a file that will not start says so.
TEST_F(NuvoraDownloadSafety, TheFileThatStartsIsTheFileThatWasChecked) {
  {
    NuvoraRun run(RunName(0));
    const std::string url = run.ServeInstaller("setup.exe");
    const std::string target = run.LocalPath("setup.exe");
    ASSERT_NO_FATAL_FAILURE(StartDownload(run, {}, url, target));
    HWND box = ExpectMessage(run, kInstallQuestion);
    ASSERT_NE(nullptr, box);
    HANDLE writer = CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, writer) << "the checked file could be written";
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(MoveFileA(target.c_str(), (target + ".moved").c_str()));
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDYES));
    const std::string marker = target + ".ran";
    for (int i = 0; i < 500 && !FileExists(marker); ++i) Sleep(20);
    EXPECT_TRUE(FileExists(marker)) << "the checked installer did not run";
  }
  NuvoraRun run(RunName(1));
  const std::string url = run.Serve("setup.exe", "no program at all");
  ASSERT_NO_FATAL_FAILURE(StartDownload(run, {}, url, run.LocalPath("setup.exe")));
  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NE(nullptr, box);
  Press(box, IDYES);
  for (int i = 0; i < 250 && run.Find(Kind::Message) == box; ++i) Sleep(20);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, ExpectMessage(run, kStartFailed), IDOK));
}

TEST_F(NuvoraDownloadSafety, OnlyProgramsAndInstallerPackagesAreStarted) {
  NuvoraRun run(RunName());
  // A real program, saved under a name that is no program's.
  const std::string url = run.ServeInstaller("setup.exe");
  ASSERT_NO_FATAL_FAILURE(StartDownload(run, {}, url, run.LocalPath("readme.txt")));
  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NE(nullptr, box);
  Press(box, IDYES);
  for (int i = 0; i < 250 && run.Find(Kind::Message) == box; ++i) Sleep(20);
  HWND told = ExpectMessage(run, kNotStarted);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, told, IDOK));
  EXPECT_EQ(ReadWholeFile(run.ServedPath("setup.exe")), ReadWholeFile(run.LocalPath("readme.txt")));
  EXPECT_FALSE(FileExists(run.LocalPath("readme.txt.ran")));
}

}  // namespace
}  // namespace nuvora_test
