// Network and disk faults, and the user stopping a transfer.
#include "tests/update/nuvora_case.h"

namespace nuvora_test {
namespace {

using NuvoraFault = NuvoraCase;

TEST_F(NuvoraFault, UnreachableServerReportsNoConnection) {
  NuvoraRun run(RunName());
  // Nothing listens on port 1 of the loopback address.
  ASSERT_TRUE(run.Start("http://127.0.0.1:1/config/update.ini,Verivir,1,17"));
  HWND box = ExpectMessage(run, kNoConnection);
  // Pending errors are shown after clean-up: the temporary file is already gone.
  EXPECT_FALSE(run.TemporaryFilePresent());
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
}

TEST_F(NuvoraFault, NoTemporaryFileEndsWithMinusOne) {
  NuvoraRun run(RunName());
  const std::string ini = run.ServeFeed("update.ini", Feed("Verivir", {{"VerHi", "5"}}));
  // A temporary folder that does not exist: the file cannot be created.
  ASSERT_TRUE(run.Start(ini + ",Verivir,1,17", run.LocalPath("no-such-folder")));
  HWND box = ExpectMessage(run, "ERROR : Cannot create temporary File for configuration !");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(nullptr, run.Find(Kind::Connecting));
  Press(box, IDOK);
  DWORD code = 0;
  ASSERT_EQ("", run.ExitsWithoutMessage(&code));
  EXPECT_EQ(0xFFFFFFFFu, code);
}

TEST_F(NuvoraFault, ErrorStatusCountsAsAFailedOpen) {
  NuvoraRun missing(RunName(0));
  ASSERT_TRUE(missing.Start(Url("no/such/update.ini") + ",Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(
      AnswerAndExpectExit(missing, ExpectMessage(missing, kNoConnection), IDOK));

  NuvoraRun broken(RunName(1));
  const std::string ini = broken.ServeFeed("update.ini", Feed("Verivir", {{"VerHi", "5"}}));
  ASSERT_TRUE(broken.Start(ini + "?status=500,Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(broken, ExpectMessage(broken, kNoConnection), IDOK));

  NuvoraRun installer(RunName(2));
  const Keys keys = {{"VerHi", "2"}, {"Path001", Url("no/such/setup.exe")}};
  ASSERT_TRUE(
      installer.Start(installer.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(installer, -1, installer.LocalPath("setup.exe")));
  HWND box = ExpectMessage(installer, kCannotOpenUrl);
  EXPECT_FALSE(FileExists(installer.LocalPath("setup.exe")));
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(installer, box, IDOK));
}

TEST_F(NuvoraFault, ResetMidDownloadDeletesThePartialFile) {
  NuvoraRun run(RunName());
  const Keys keys = {{"VerHi", "2"}, {"Path001", Url("big.bin?size=300000&close=60000")}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("big.bin")));
  HWND box = ExpectMessage(run, kConnectionReset);
  EXPECT_FALSE(FileExists(run.LocalPath("big.bin")));
  EXPECT_EQ(0, run.LeftoverPartialFiles());
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
}

TEST_F(NuvoraFault, UnwritableTargetReportsTheDisk) {
  NuvoraRun run(RunName());
  const std::string target = run.LocalPath("locked.exe");
  // Held open without sharing, so that Nuvora cannot create it.
  HANDLE lock = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  const Keys keys = {{"VerHi", "2"}, {"Path001", run.Serve("setup.bin", "installer")}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, target));
  HWND box = ExpectMessage(run, kCannotWrite);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
  CloseHandle(lock);
}

TEST_F(NuvoraFault, StopWhileConnecting) {
  const std::string ini = Feed("Verivir", {{"VerHi", "7"}, {"AppName", "Later"}});
  {
    SCOPED_TRACE("Yes: stop without a message");
    NuvoraRun run(RunName(0));
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", ini) + "?delay=5000,Verivir,1,17"));
    HWND connecting = run.WaitFor(Kind::Connecting);
    ASSERT_NE(nullptr, connecting);
    EXPECT_EQ(kConnecting, ControlText(connecting, 1011));
    EXPECT_TRUE(run.TemporaryFilePresent());
    Press(connecting, IDCANCEL);
    HWND question = ExpectMessage(run, kStopQuestion);
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(connecting, GetWindow(question, GW_OWNER));
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, question, IDYES));
  }
  {
    SCOPED_TRACE("No: the transfer goes on");
    NuvoraRun run(RunName(1));
    // Longer than one block, sent in pieces a second apart: "Loading information" shows meanwhile.
    const std::string padded = ini + std::string(6000, ';') + "\r\n";
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", padded) + "?drip=1000,Verivir,1,17"));
    HWND connecting = run.WaitFor(Kind::Connecting);
    ASSERT_NE(nullptr, connecting);
    EXPECT_TRUE(ShowsLoading(connecting, 5000));
    Press(connecting, IDCANCEL);
    HWND question = ExpectMessage(run, kStopQuestion);
    ASSERT_NE(nullptr, question);
    Sleep(1500);  // the transfer is held while the question is open
    EXPECT_EQ(connecting, run.Find(Kind::Connecting));
    Press(question, IDNO);
    HWND info = run.WaitFor(Kind::Information);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ("Later", ControlText(info, 1000));
    Press(info, IDCANCEL);
    DWORD code = 1234;
    ASSERT_EQ("", run.ExitsWithoutMessage(&code));
    EXPECT_EQ(0u, code);
  }
}

TEST_F(NuvoraFault, StopWhileDownloading) {
  {
    SCOPED_TRACE("Yes: partial file deleted, no message");
    NuvoraRun run(RunName(0));
    const Keys keys = {
        {"VerHi", "2"}, {"DlSize", "400"}, {"Path001", Url("slow.bin?size=400000&drip=50")}};
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
    ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("slow.bin")));
    HWND dialog = run.WaitFor(Kind::Download);
    ASSERT_NE(nullptr, dialog);
    // The download arrives in a file of its own beside the target.
    for (int i = 0; i < 250 && run.PartialFileSize() <= 0; ++i) Sleep(20);
    EXPECT_GT(run.PartialFileSize(), 0);
    EXPECT_FALSE(FileExists(run.LocalPath("slow.bin")));
    Press(dialog, IDCANCEL);
    HWND question = ExpectMessage(run, kStopQuestion);
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(dialog, GetWindow(question, GW_OWNER));
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, question, IDYES));
    EXPECT_FALSE(FileExists(run.LocalPath("slow.bin")));
    EXPECT_EQ(0, run.LeftoverPartialFiles());
  }
  {
    SCOPED_TRACE("No: a transfer that ended during the question counts");
    NuvoraRun run(RunName(1));
    const Keys keys = {{"VerHi", "2"}, {"Path001", Url("short.bin?size=20480&drip=100")}};
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
    ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("short.bin")));
    HWND dialog = run.WaitFor(Kind::Download);
    ASSERT_NE(nullptr, dialog);
    Press(dialog, IDCANCEL);
    HWND question = ExpectMessage(run, kStopQuestion);
    ASSERT_NE(nullptr, question);
    // The download goes on meanwhile and completes.
    for (int i = 0; i < 250 && run.PartialFileSize() < 20480; ++i) Sleep(20);
    Sleep(300);
    EXPECT_EQ(dialog, run.Find(Kind::Download));
    Press(question, IDNO);
    for (int i = 0; i < 250 && run.Find(Kind::Message) == question; ++i) Sleep(20);
    HWND box = ExpectMessage(run, kInstallQuestion);
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
    EXPECT_EQ(20480, FileSize(run.LocalPath("short.bin")));
  }
}

}  // namespace
}  // namespace nuvora_test
