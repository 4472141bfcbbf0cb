// Command line, newer-version decision and the information dialog, end to end.
#include "tests/update/nuvora_case.h"

namespace nuvora_test {
namespace {

using NuvoraFlow = NuvoraCase;

TEST_F(NuvoraFlow, UnusableCommandLinesShowOnlyTheAboutBox) {
  const std::vector<std::string> lines = {
      "",
      "   ",
      " ,;:-!? ",
      "http://127.0.0.1/config/update.ini",              // URL without a following comma
      "HTTP://127.0.0.1/update.ini Verivir",             // the same, upper case
      std::string(64, 'P') + ",1,17",                    // product over 63 characters
      "http://" + std::string(253, 'h') + ",Verivir,1",  // URL over 259 characters
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE("command line \"" + lines[i] + "\"");
    NuvoraRun run(RunName(static_cast<int>(i)));
    ASSERT_TRUE(run.Start(lines[i]));
    HWND about = run.WaitFor(Kind::About);
    ASSERT_NE(nullptr, about);
    EXPECT_NE(std::string::npos, MessageText(about).find("Update utility  -  Version 1.3\n"));
    EXPECT_FALSE(run.TemporaryFilePresent());
    Press(about, IDOK);
    DWORD code = 1234;
    ASSERT_EQ("", run.ExitsWithoutMessage(&code));
    EXPECT_EQ(0u, code);
  }
}

TEST_F(NuvoraFlow, NewerOnlyWhenTheOfferBeatsTheInstalledVersion) {
  NuvoraRun server(RunName());
  const std::string url = server.ServeFeed(
      "update.ini", Feed("Verivir", {{"VerHi", "1"}, {"VerLo", "18"}, {"AppName", "Verivir"}}));
  std::string upper = url;
  upper.replace(0, 4, "HTTP");
  struct Case {
    std::string line;
    bool newer;
  };
  const std::vector<Case> cases = {
      {url + ",Verivir,1,17", true},
      {"  " + upper + " ,  Verivir , 1 , 17", true},  // blanks and an upper-case scheme
      {url + ",Verivir,1,18", false},
      {url + ",Verivir,2", false},
      {url + ",Other,0,0", false},  // no section: version 0.0 is never newer
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].line);
    NuvoraRun run(RunName(static_cast<int>(i) + 1));
    ASSERT_TRUE(run.Start(cases[i].line));
    if (cases[i].newer) {
      HWND info = run.WaitFor(Kind::Information);
      ASSERT_NE(nullptr, info);
      EXPECT_EQ("Verivir", ControlText(info, 1000));
      Press(info, IDCANCEL);  // ends the program without a message
      DWORD code = 1234;
      ASSERT_EQ("", run.ExitsWithoutMessage(&code));
      EXPECT_EQ(0u, code);
      EXPECT_FALSE(run.TemporaryFilePresent());
    } else {
      HWND box = ExpectMessage(run, kNoNewer);
      AnswerAndExpectExit(run, box, IDOK);
    }
  }
}

TEST_F(NuvoraFlow, InformationDialogListsLanguagesAndTakesTheChosenPath) {
  NuvoraRun run(RunName());
  const Keys keys = {{"VerHi", "3"},
                     {"AppName", "ZOV Spheres"},
                     {"Version", "3.0 beta"},
                     {"Price", "free"},
                     {"Size", "1.2 MB"},
                     {"LangCount", "3"},
                     {"Lang001", "English"},
                     {"Lang002", "Deutsch"},
                     {"Lang003", "Francais"},
                     {"Path001", run.Serve("en.bin", "english installer")},
                     {"Path002", run.Serve("de.bin", "german installer")},
                     {"Path003", run.Serve("fr.bin", "french installer")},
                     {"FileName", "spheres.exe"}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  HWND info = run.WaitFor(Kind::Information);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ("ZOV Spheres", ControlText(info, 1000));
  EXPECT_EQ("3.0 beta", ControlText(info, 1001));
  EXPECT_EQ("free", ControlText(info, 1002));
  EXPECT_EQ("1.2 MB", ControlText(info, 1004));
  HWND list = GetDlgItem(info, 1003);
  EXPECT_EQ((std::vector<std::string>{"English", "Deutsch", "Francais"}), ComboItems(list));
  EXPECT_EQ(0, ComboSelection(list));
  // The labels are in the template, but hidden.
  for (const char* label : {"Product\t:", "Version\t:", "Price\t:", "Size\t:", "Lang.\t:"}) {
    HWND found = nullptr;
    for (HWND c = GetWindow(info, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (Text(c) == label) found = c;
    ASSERT_NE(nullptr, found) << label;
    EXPECT_FALSE(IsWindowVisible(found)) << label;
  }

  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, 2, run.LocalPath("chosen.exe")));
  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
  EXPECT_EQ("french installer", ReadWholeFile(run.LocalPath("chosen.exe")));
}

TEST_F(NuvoraFlow, WithoutLanguagesGetItTakesTheFirstPath) {
  NuvoraRun run(RunName());
  const Keys keys = {
      {"VerHi", "1"}, {"VerLo", "1"}, {"Path001", run.Serve("one.bin", "first path")}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,0"));
  HWND info = run.WaitFor(Kind::Information);
  ASSERT_NE(nullptr, info);
  for (int field : {1000, 1001, 1002, 1004}) EXPECT_EQ("<not available>", ControlText(info, field));
  EXPECT_EQ(0u, ComboItems(GetDlgItem(info, 1003)).size());
  EXPECT_EQ(CB_ERR, ComboSelection(GetDlgItem(info, 1003)));

  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("first.bin")));
  HWND box = ExpectMessage(run, kInstallQuestion);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDNO));
  EXPECT_EQ("first path", ReadWholeFile(run.LocalPath("first.bin")));
}

TEST_F(NuvoraFlow, MissingPathIsReportedAsACorruptFile) {
  NuvoraRun run(RunName());
  const Keys keys = {{"VerHi", "9"},
                     {"LangCount", "2"},
                     {"Lang001", "English"},
                     {"Lang002", "Deutsch"},
                     {"Path001", run.Serve("en.bin", "english")}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, 1, run.LocalPath("nothing.bin")));
  HWND box = ExpectMessage(run, kCorruptFile);
  ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
  EXPECT_FALSE(FileExists(run.LocalPath("nothing.bin")));
}

TEST_F(NuvoraFlow, CancellingSaveAsKeepsTheInformationDialogOpen) {
  NuvoraRun run(RunName());
  const Keys keys = {
      {"VerHi", "2"}, {"Path001", run.Serve("en.bin", "english")}, {"FileName", "x.bin"}};
  ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
  HWND info = run.WaitFor(Kind::Information);
  ASSERT_NE(nullptr, info);
  for (int round = 0; round < 2; ++round) {
    Press(info, IDOK);
    HWND saveAs = run.WaitFor(Kind::SaveAs);
    ASSERT_NE(nullptr, saveAs);
    EXPECT_FALSE(IsWindowEnabled(info));  // Save As is modal to it
    Press(saveAs, IDCANCEL);
    for (int i = 0; i < 250 && run.Find(Kind::SaveAs); ++i) Sleep(20);
    ASSERT_EQ(nullptr, run.Find(Kind::SaveAs));
    EXPECT_EQ(info, run.Find(Kind::Information));
    for (int i = 0; i < 100 && !IsWindowEnabled(info); ++i) Sleep(20);
    EXPECT_TRUE(IsWindowEnabled(info));
  }
  Press(info, IDCANCEL);
  DWORD code = 1234;
  ASSERT_EQ("", run.ExitsWithoutMessage(&code));
  EXPECT_EQ(0u, code);
  EXPECT_FALSE(FileExists(run.LocalPath("x.bin")));
  EXPECT_FALSE(run.TemporaryFilePresent());
}

}  // namespace
}  // namespace nuvora_test
