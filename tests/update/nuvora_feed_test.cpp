// What a feed, or a second start, must not be able to do: negative numbers,
// folders chosen by the feed, endless configuration files, two runs at once.
#include <windows.h>
#include <sddl.h>

#include "tests/update/nuvora_case.h"

namespace nuvora_test {
namespace {

using NuvoraFeed = NuvoraCase;

TEST_F(NuvoraFeed, NegativeNumbersReadAsZero) {
  {
    SCOPED_TRACE("VerHi=-1 is no newer version");
    NuvoraRun run(RunName(0));
    const Keys keys = {{"VerHi", "-1"}, {"VerLo", "-1"}};
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, ExpectMessage(run, kNoNewer), IDOK));
  }
  SCOPED_TRACE("LangCount and DlSize below zero");
  NuvoraRun run(RunName(1));
  const Keys keys = {{"VerHi", "2"},
                     {"LangCount", "-3"},
                     {"DlSize", "-7"},
                     {"Path001", Url("held.bin?size=8192&hold=4096&gate=" + RunName(1) + "/gate")}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  HWND info = run.WaitFor(Kind::Information);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(0u, ComboItems(GetDlgItem(info, 1003)).size());
  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("held.bin")));
  HWND dialog = run.WaitFor(Kind::Download);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("(0 kB  of  0 kB)", ControlText(dialog, 1007));
  WriteTextFile(run.ServedPath("gate"), "");
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, ExpectMessage(run, kInstallQuestion), IDNO));
}

TEST_F(NuvoraFeed, OnlyAHarmlessFileNameIsProposed) {
  struct Case {
    const char* feedName;
    const char* proposed;
  };
  const Case cases[] = {{"C:\\Windows\\Start Menu\\Programs\\Startup\\evil.exe", "evil.exe"},
                        {"\\\\server\\share\\tool.exe", "tool.exe"},
                        {"CON.exe", "zov-setup.exe"},
                        {"setup.exe:hidden", "zov-setup.exe"}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(cases[i].feedName);
    NuvoraRun run(RunName(i));
    const Keys keys = {{"VerHi", "2"},
                       {"Path001", Url("dl/zov-setup.exe?lang=en")},
                       {"FileName", cases[i].feedName}};
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
    HWND info = run.WaitFor(Kind::Information);
    ASSERT_NE(nullptr, info);
    Press(info, IDOK);
    EXPECT_EQ(cases[i].proposed, run.SaveAsProposal());
    Press(run.WaitFor(Kind::SaveAs), IDCANCEL);
    for (int w = 0; w < 250 && run.Find(Kind::SaveAs); ++w) Sleep(20);
    Press(info, IDCANCEL);
    DWORD code = 1234;
    ASSERT_EQ("", run.ExitsWithoutMessage(&code));
    EXPECT_EQ(0u, code);
  }
}

TEST_F(NuvoraFeed, OversizedConfigurationIsRefused) {
  struct Case {
    const char* query;
    const char* message;
  };
  const Case cases[] = {{"size=1048577", kNoConnection},            // announced too long
                        {"size=3000000&chunked=1", kNoConnection},  // found too long on the way
                        {"size=1048576&chunked=1", kNoNewer}};      // the largest accepted
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(cases[i].query);
    NuvoraRun run(RunName(i));
    const std::string url = Url(RunName(i) + "/big.ini?" + cases[i].query);
    // Signed, so that only its size decides.
    run.Serve("big.ini.sig", FeedKey::Trusted().Sign(ServedBody(url)));
    ASSERT_TRUE(run.Start(url + ",Verivir,1,17"));
    HWND box = ExpectMessage(run, cases[i].message);
    // A failed transfer's message comes after clean-up.
    if (cases[i].message == kNoConnection) {
      EXPECT_FALSE(run.TemporaryFilePresent());
    }
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
  }
}

bool Is64BitWindows() {
#if defined(_WIN64)
  return true;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

TEST_F(NuvoraFeed, X64InstallerOn64BitWindows) {
  NuvoraRun run(RunName());
  const Keys keys = {{"VerHi", "2"},
                     {"Size", "1 MB"},
                     {"Path001", run.Serve("plain.exe", "plain installer")},
                     {"FileName", "zov.exe"},
                     {"Path001.x64", run.Serve("x64.exe", "x64 installer")},
                     {"FileName001.x64", "zov64.exe"},
                     {"DlSize001.x64", "77"},
                     {"Sha256001.x64", std::string(64, '0')}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  HWND info = run.WaitFor(Kind::Information);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ("1 MB", ControlText(info, 1004));  // the shown size stays the section's
  Press(info, IDOK);
  const bool x64 = Is64BitWindows();
  EXPECT_EQ(x64 ? "zov64.exe" : "zov.exe", run.SaveAsProposal());
  ASSERT_TRUE(run.SaveAs(run.LocalPath("setup.exe")));
  if (x64) {
    // The x64 checksum (all zeros) belongs to the x64 file, and refuses it.
    HWND box = ExpectMessage(run,
                             "ERROR : The downloaded file is damaged or was changed on the "
                             "way. It has been deleted.");
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
    EXPECT_FALSE(FileExists(run.LocalPath("setup.exe")));
  } else {
    HWND box = ExpectMessage(run, kInstallQuestion);
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
    EXPECT_EQ("plain installer", ReadWholeFile(run.LocalPath("setup.exe")));
  }
}

TEST_F(NuvoraFeed, SecondStartShowsTheFirstAndLeavesItsFileAlone) {
  NuvoraRun first(RunName(0));
  const std::string line =
      first.ServeFeed("update.ini", Feed("Verivir", {{"VerHi", "2"}, {"AppName", "First"}})) +
      ",Verivir,1,17";
  ASSERT_TRUE(first.Start(line));
  HWND info = first.WaitFor(Kind::Information);
  ASSERT_NE(nullptr, info);
  const long long size = first.TemporaryFileSize();
  ASSERT_GT(size, 0);

  // Another window in front, so that the second start has something to change.
  HWND other = CreateWindowA("STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, other);
  SetForegroundWindow(other);

  // Same product, same temporary folder, product spelled in another case.
  NuvoraRun second(RunName(1));
  ASSERT_TRUE(second.Start(line.substr(0, line.size() - 13) + ",VERIVIR,1,17", first.TempFolder()));
  DWORD code = 1234;
  ASSERT_EQ("", second.ExitsWithoutMessage(&code));
  EXPECT_EQ(0u, code);
  DWORD owner = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &owner);
  EXPECT_EQ(first.Pid(), owner) << "the first run's window should be in front";
  DestroyWindow(other);

  EXPECT_EQ(info, first.Find(Kind::Information));
  EXPECT_EQ(size, first.TemporaryFileSize());
  Press(info, IDCANCEL);
  ASSERT_EQ("", first.ExitsWithoutMessage(&code));
  EXPECT_EQ(0u, code);
  EXPECT_FALSE(first.TemporaryFilePresent());
}

// A stranger in the session who holds Nuvora's names, with a window of its own
// behind them, must not turn every start into a silent end.
TEST_F(NuvoraFeed, NamesHeldByAStrangerDoNotStopIt) {
  std::string sid;
  {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    char buffer[256];
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, buffer, size, &size));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text));
    sid = text;
    LocalFree(text);
    CloseHandle(token);
  }
  HWND window = CreateWindowA("STATIC", "stranger", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  std::vector<HANDLE> held;
  for (const std::string& owner : {std::string(), sid + " "}) {
    const std::string prefix = "Local\\ZOV Update utility ";
    held.push_back(CreateMutexA(nullptr, FALSE, (prefix + "running " + owner + "VERIVIR").c_str()));
    HANDLE record =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                           (prefix + "process " + owner + "VERIVIR").c_str());
    auto* pid = static_cast<DWORD*>(MapViewOfFile(record, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
    ASSERT_NE(nullptr, pid);
    *pid = GetCurrentProcessId();
    UnmapViewOfFile(pid);
    held.push_back(record);
  }
  NuvoraRun run(RunName());
  // Not fatal here: the names must be let go whatever happened.
  EXPECT_NO_FATAL_FAILURE(
      ExpectOffered(run, run.ServeFeed("update.ini", Feed("Verivir", {{"VerHi", "2"}}))))
      << "Nuvora gave way to a stranger";
  for (HANDLE handle : held) CloseHandle(handle);
  DestroyWindow(window);
}

TEST_F(NuvoraFeed, StopQuestionHoldsTheConfigurationTransfer) {
  NuvoraRun run(RunName());
  const std::string ini =
      Feed("Verivir", {{"VerHi", "7"}, {"AppName", "Later"}}) + std::string(40000, ';') + "\r\n";
  const std::string url =
      run.ServeFeed("update.ini", ini) + "?hold=8192&gate=" + RunName() + "/gate";
  ASSERT_TRUE(run.Start(url + ",Verivir,1,17"));
  HWND connecting = run.WaitFor(Kind::Connecting);
  ASSERT_NE(nullptr, connecting);
  ASSERT_TRUE(ShowsLoading(connecting, 10000));
  Press(connecting, IDCANCEL);
  HWND question = ExpectMessage(run, kStopQuestion);
  ASSERT_NE(nullptr, question);
  const long long held = run.TemporaryFileSize();
  EXPECT_LE(held, 8192);
  // The rest of the body reaches the machine while the question is open...
  WriteTextFile(run.ServedPath("gate"), "");
  const std::string sent = run.ServedPath("gate.sent");
  for (int i = 0; i < 500 && !FileExists(sent); ++i) Sleep(20);
  ASSERT_TRUE(FileExists(sent));
  // ...and is not written: a running transfer would finish within this second.
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(held, run.TemporaryFileSize());
    Sleep(20);
  }
  Press(question, IDNO);
  HWND info = run.WaitFor(Kind::Information);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ("Later", ControlText(info, 1000));
  EXPECT_EQ(static_cast<long long>(ini.size()), run.TemporaryFileSize());
  Press(info, IDCANCEL);
  DWORD code = 1234;
  ASSERT_EQ("", run.ExitsWithoutMessage(&code));
  EXPECT_EQ(0u, code);
}

}  // namespace
}  // namespace nuvora_test
