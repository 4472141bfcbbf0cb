// The update cycle a user lives through, under Wine: install this version
// silently, learn from the published feed that the next one exists, download
// it through Nuvora, let its wizard install it, keep the settings, uninstall.
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "tests/release/installed_system.h"
#include "tests/update/nuvora_case.h"
#include "verivir_version.h"

namespace release_test {
namespace {

using nuvora_test::Kind;
using nuvora_test::NuvoraRun;

const std::string kThis = VERIVIR_VERSION_TEXT;
const std::string kNext = RELEASE_NEXT_VERSION;
const std::string kArch = sizeof(void*) == 8 ? "x64" : "x86";

// A 32-bit test program on 64-bit Windows: the x86 installer refuses there.
bool X86On64BitWindows() {
  BOOL wow64 = FALSE;
  return kArch == "x86" && IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string Installer(const std::string& dist, const std::string& version) {
  std::string path = dist + "/VerivirSetup-" + version + "-" + kArch + ".exe";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// What the About page hands to Nuvora after the program name: "Verivir,1,17".
std::string AboutArgument() {
  const std::string target = VERIVIR_UPDATE_TARGET;
  return target.substr(target.find(' ') + 1);
}

std::string SettingsKey(const char* section) {
  return std::string(kSettingsKey) + "\\1.1\\" + section;
}

void WriteUserSettings() {
  RegSetText(HKEY_CURRENT_USER, SettingsKey("Text"), "Text", "Kept across releases");
  RegSetNumber(HKEY_CURRENT_USER, SettingsKey("General"), "Blend", 1);
  RegSetNumber(HKEY_CURRENT_USER, SettingsKey("Big Sphere"), "Density", 3);
}

void ExpectUserSettings() {
  EXPECT_EQ("Kept across releases", RegText(HKEY_CURRENT_USER, SettingsKey("Text"), "Text"));
  EXPECT_EQ(1u, RegNumber(HKEY_CURRENT_USER, SettingsKey("General"), "Blend"));
  EXPECT_EQ(3u, RegNumber(HKEY_CURRENT_USER, SettingsKey("Big Sphere"), "Density"));
}

std::string InstalledSaver() { return SystemFolder() + "\\Verivir.scr"; }

void ExpectInstalled(const std::string& version) {
  SCOPED_TRACE("installed version " + version);
  const std::string folder = ExpectedInstallFolder();
  EXPECT_EQ(version, FileVersion(InstalledSaver()));
  EXPECT_TRUE(Exists(folder + "\\Nuvora.exe"));
  EXPECT_TRUE(Exists(folder + "\\uninstall.exe"));

  const HKEY hklm = HKEY_LOCAL_MACHINE;
  EXPECT_EQ(version, RegText(hklm, kUninstallKey, "DisplayVersion"));
  EXPECT_EQ("Morvel Software Development", RegText(hklm, kUninstallKey, "Publisher"));
  EXPECT_NE(std::nullopt, RegText(hklm, kUninstallKey, "DisplayName"));
  auto location = RegText(hklm, kUninstallKey, "InstallLocation");
  EXPECT_TRUE(location && SameFile(*location, folder)) << location.value_or("<none>");
  const std::string uninstaller = "\"" + folder + "\\uninstall.exe\"";
  auto uninstall = RegText(hklm, kUninstallKey, "UninstallString");
  EXPECT_TRUE(uninstall && SameFile(*uninstall, uninstaller)) << uninstall.value_or("<none>");
  auto quiet = RegText(hklm, kUninstallKey, "QuietUninstallString");
  EXPECT_TRUE(quiet && SameFile(*quiet, uninstaller + " /S")) << quiet.value_or("<none>");
  auto icon = RegText(hklm, kUninstallKey, "DisplayIcon");
  EXPECT_TRUE(icon && SameFile(*icon, InstalledSaver() + ",0")) << icon.value_or("<none>");
  // Windows shows kilobytes; the two programs alone are more than that.
  auto size = RegNumber(hklm, kUninstallKey, "EstimatedSize");
  ASSERT_TRUE(size.has_value());
  EXPECT_GE(*size * 1024ll, SizeOf(InstalledSaver()) + SizeOf(folder + "\\Nuvora.exe"));

  // The About page starts "Nuvora.exe" without a folder; the shell looks here.
  auto appPath = RegText(hklm, kAppPathKey, "");
  EXPECT_TRUE(appPath && SameFile(*appPath, folder + "\\Nuvora.exe")) << appPath.value_or("");
}

void ExpectNothingLeft() {
  const std::string folder = ExpectedInstallFolder();
  EXPECT_FALSE(Exists(InstalledSaver()));
  EXPECT_FALSE(Exists(folder + "\\Nuvora.exe"));
  EXPECT_FALSE(Exists(folder + "\\uninstall.exe"));
  EXPECT_FALSE(Exists(folder));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kAppPathKey));
}

class ReleaseCycle : public nuvora_test::NuvoraCase {
 protected:
  // Every case starts from a system without Verivir and without its settings,
  // where the administrator trusts the key the test releases are signed with.
  void SetUp() override {
    if (X86On64BitWindows())
      GTEST_SKIP() << "the x86 installer refuses on 64-bit Windows; the 64-bit tests run the cycle";
    Uninstall();
    RegDeleteTree(HKEY_CURRENT_USER, kSettingsKey);
    ASSERT_FALSE(Exists(InstalledSaver())) << "an earlier Verivir could not be removed";
    nuvora_test::ForgetFeedSerials();
    std::string key =
        nuvora_test::ReadWholeFile(std::string(NUVORA_SERVER_STATE) + "/feed-key.pub");
    while (!key.empty() && (key.back() == '\n' || key.back() == '\r')) key.pop_back();
    ASSERT_EQ(128u, key.size()) << "publish.sh writes the releases' public feed key";
    trust_ = std::make_unique<nuvora_test::ScopedTrustedKey>(HKEY_LOCAL_MACHINE, key);
  }
  void TearDown() override {
    // An installer that a failed case left open would cover the next case's windows.
    EndProgram("VerivirSetup-" + kNext + ".exe");
    EndProgram("VerivirSetup-" + kThis + ".exe");
    Uninstall();
    trust_.reset();
  }

  // No installer of the next version runs, none is on the screen, this one stays.
  static void ExpectNothingStarted() {
    EXPECT_FALSE(ProgramRuns("VerivirSetup-" + kNext + ".exe"));
    EXPECT_EQ(nullptr, SetupWizard("Verivir " + kNext + " Setup").Find());
    EXPECT_EQ(kThis, FileVersion(InstalledSaver()));
  }

  std::unique_ptr<nuvora_test::ScopedTrustedKey> trust_;

  static void InstallSilently(const std::string& dist, const std::string& version) {
    const std::string setup = Installer(dist, version);
    ASSERT_TRUE(Exists(setup)) << setup << " is missing: tools/test makes it with tools/release";
    DWORD code = 99;
    ASSERT_TRUE(RunToTheEnd("\"" + setup + "\" /S", &code));
    ASSERT_EQ(0u, code);
  }

  // Removes what an earlier, interrupted run may have left: through the
  // uninstaller when it is there, else by hand. The cases check uninstalling.
  static void Uninstall() {
    if (auto quiet = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString")) {
      DWORD code = 99;
      if (RunToTheEnd(*quiet, &code) && code == 0) return;
    }
    const std::string folder = ExpectedInstallFolder();
    for (const std::string& file :
         {InstalledSaver(), folder + "\\Nuvora.exe", folder + "\\uninstall.exe"})
      DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
    RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, kAppPathKey);
  }

  // Goes through the information dialog and Save As; returns where the download goes.
  static std::string ChooseTheOffer(NuvoraRun& run) {
    HWND info = run.WaitFor(Kind::Information, 30000);
    DWORD code = 0;
    EXPECT_NE(nullptr, info) << (run.WaitExit(&code, 0)
                                     ? "Nuvora ended with " + std::to_string(code)
                                     : std::string("Nuvora still runs"));
    if (!info) return "";
    EXPECT_EQ("Verivir", nuvora_test::ControlText(info, 1000));
    EXPECT_EQ(kNext, nuvora_test::ControlText(info, 1001));
    EXPECT_EQ("Freeware", nuvora_test::ControlText(info, 1002));
    const std::string target = run.LocalPath("VerivirSetup-" + kNext + ".exe");
    nuvora_test::Press(info, IDOK);
    EXPECT_TRUE(run.SaveAs(target));
    return target;
  }
};

TEST_F(ReleaseCycle, UpdateThroughNuvoraKeepsTheSettingsAndUninstallLeavesOnlyThem) {
  ASSERT_NO_FATAL_FAILURE(InstallSilently(RELEASE_DIST_THIS, kThis));
  ASSERT_NO_FATAL_FAILURE(ExpectInstalled(kThis));
  auto saver = RegText(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE");
  EXPECT_TRUE(saver && SameFile(*saver, InstalledSaver())) << saver.value_or("<none>");
  EXPECT_EQ("1", RegText(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive"));
  WriteUserSettings();

  {
    // The About page's way: the program name alone, found through the shell.
    SHELLEXECUTEINFOA shell = {};
    shell.cbSize = sizeof shell;
    shell.fMask = SEE_MASK_NOCLOSEPROCESS;
    shell.lpFile = "Nuvora.exe";
    shell.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&shell) && shell.hProcess);
    // Idle once its about box waits for the user: its modules are all loaded.
    WaitForInputIdle(shell.hProcess, 30000);
    const std::string started = ProgramPath(GetProcessId(shell.hProcess));
    EXPECT_TRUE(SameFile(ExpectedInstallFolder() + "\\Nuvora.exe", started)) << started;
    // Without arguments it only shows its about box.
    TerminateProcess(shell.hProcess, 0);
    WaitForSingleObject(shell.hProcess, 10000);
    CloseHandle(shell.hProcess);
  }

  NuvoraRun run(RunName());
  ASSERT_TRUE(run.Start(nuvora_test::Url("release/update.ini") + "," + AboutArgument()));
  const std::string download = ChooseTheOffer(run);
  HWND question = ExpectMessage(run, nuvora_test::kInstallQuestion);
  ASSERT_NE(nullptr, question);
  // The feed offers both installers; this Windows needs the one of its own kind.
  EXPECT_TRUE(nuvora_test::ReadWholeFile(Installer(RELEASE_DIST_NEXT, kNext)) ==
              nuvora_test::ReadWholeFile(download))
      << "the downloaded file is not VerivirSetup-" << kNext << "-" << kArch << ".exe";
  nuvora_test::Press(question, IDYES);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitExit(&code));
  EXPECT_EQ(0u, code);

  SetupWizard wizard("Verivir " + kNext + " Setup");
  ASSERT_TRUE(wizard.Appear()) << "Nuvora did not start the downloaded installer";
  ASSERT_TRUE(wizard.Press("&Next >"));
  ASSERT_TRUE(wizard.Press("&Install"));
  ASSERT_TRUE(wizard.Press("&Finish"));
  ASSERT_TRUE(wizard.End());

  ExpectInstalled(kNext);
  ExpectUserSettings();

  DWORD uninstalled = 99;
  auto quiet = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
  ASSERT_TRUE(quiet.has_value());
  ASSERT_TRUE(RunToTheEnd(*quiet, &uninstalled));
  EXPECT_EQ(0u, uninstalled);
  ExpectNothingLeft();
  EXPECT_EQ(std::nullopt, RegText(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"));
  EXPECT_EQ("0", RegText(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive"));
  ExpectUserSettings();
}

// tools/test signs its releases (check_dist.py verifies the signatures): the
// signed saver must still run.
TEST_F(ReleaseCycle, WizardInstallsSignedProgramsThatRunAndOffersTheScreenSaverSettings) {
  const std::string setup = Installer(RELEASE_DIST_THIS, kThis);
  RegSetText(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive", "0");

  Program install("\"" + setup + "\"");
  SetupWizard wizard("Verivir " + kThis + " Setup");
  ASSERT_TRUE(wizard.Appear());
  ASSERT_TRUE(wizard.Press("&Next >"));
  ASSERT_TRUE(wizard.Press("&Install"));
  ASSERT_TRUE(wizard.Reach("&Finish"));
  HWND open = wizard.Control("Open the Screen Saver settings");
  ASSERT_NE(nullptr, open);
  EXPECT_EQ(BST_CHECKED, SendMessageA(open, BM_GETCHECK, 0, 0));
  // Finish opens them (Wine has no Display control panel: nothing shows here).
  ASSERT_TRUE(wizard.Press("&Finish"));
  DWORD code = 99;
  ASSERT_TRUE(install.End(&code));
  EXPECT_EQ(0u, code);

  auto saver = RegText(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE");
  EXPECT_TRUE(saver && SameFile(*saver, InstalledSaver())) << saver.value_or("<none>");
  EXPECT_EQ("1", RegText(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive"));
  EXPECT_EQ(0, SaverRunsAndCloses(InstalledSaver()));
}

TEST_F(ReleaseCycle, FeedWhoseHashDoesNotMatchNeverStartsTheInstaller) {
  ASSERT_NO_FATAL_FAILURE(InstallSilently(RELEASE_DIST_THIS, kThis));
  NuvoraRun run(RunName());
  ASSERT_TRUE(run.Start(nuvora_test::Url("release-wrong-hash/update.ini") + "," + AboutArgument()));
  ChooseTheOffer(run);
  HWND box = run.WaitFor(Kind::Message, 30000);
  ASSERT_NE(nullptr, box);
  EXPECT_NE(nuvora_test::kInstallQuestion, nuvora_test::MessageText(box));
  nuvora_test::Press(box, GetDlgItem(box, IDOK) ? IDOK : IDNO);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitExit(&code));
  // Had Nuvora started it, the installer would run now, showing its first page.
  ExpectNothingStarted();
}

// A feed that is not the maker's, or not the latest, is refused before anything
// is offered or downloaded.
TEST_F(ReleaseCycle, RefusedFeedsNeverStartTheInstaller) {
  ASSERT_NO_FATAL_FAILURE(InstallSilently(RELEASE_DIST_THIS, kThis));
  struct Case {
    const char* folder;
    const char* message;  // nullptr: the release's own feed, offered
  };
  const Case cases[] = {{"release-unsigned", nuvora_test::kUnverified},
                        {"release-untrusted", nuvora_test::kUnverified},
                        {"release-tampered", nuvora_test::kUnverified},
                        {"release", nullptr},
                        {"release-replayed", nuvora_test::kReplayed},
                        {"release-expired", nuvora_test::kExpired}};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(cases[i].folder);
    NuvoraRun run(RunName(i));
    const std::string feed = nuvora_test::Url(std::string(cases[i].folder) + "/update.ini");
    ASSERT_TRUE(run.Start(feed + "," + AboutArgument()));
    if (cases[i].message) {
      HWND box = ExpectMessage(run, cases[i].message);
      EXPECT_EQ(nullptr, run.Find(Kind::Information));
      ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
    } else {
      // Accepted, and with it its Serial, which the replayed feed falls below.
      HWND info = run.WaitFor(Kind::Information, 30000);
      ASSERT_NE(nullptr, info);
      nuvora_test::Press(info, IDCANCEL);
      DWORD code = 99;
      ASSERT_TRUE(run.WaitExit(&code));
    }
    ExpectNothingStarted();
  }
}

TEST_F(ReleaseCycle, UninstallLeavesAnotherScreenSaverChosen) {
  ASSERT_NO_FATAL_FAILURE(InstallSilently(RELEASE_DIST_THIS, kThis));
  WriteUserSettings();
  const std::string other = SystemFolder() + "\\other.scr";
  RegSetText(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", other);
  Uninstall();
  ExpectNothingLeft();
  EXPECT_EQ(other, RegText(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"));
  ExpectUserSettings();
  RegDeleteValueIn(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE");
}

TEST_F(ReleaseCycle, UpgradeInPlaceReplacesTheProgramsAndKeepsTheSettings) {
  ASSERT_NO_FATAL_FAILURE(InstallSilently(RELEASE_DIST_THIS, kThis));
  WriteUserSettings();
  ASSERT_NO_FATAL_FAILURE(InstallSilently(RELEASE_DIST_NEXT, kNext));
  ExpectInstalled(kNext);
  ExpectUserSettings();
}

// The 32-bit installer on 64-bit Windows names the 64-bit one and installs nothing.
TEST(ReleaseX86, InstallerRefusesOn64BitWindows) {
  if (!X86On64BitWindows()) GTEST_SKIP() << "only a 32-bit test on 64-bit Windows sees this";
  DWORD code = 99;
  ASSERT_TRUE(RunToTheEnd("\"" + Installer(RELEASE_DIST_THIS, kThis) + "\" /S", &code));
  EXPECT_EQ(2u, code);
  EXPECT_FALSE(Exists(InstalledSaver()));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

}  // namespace
}  // namespace release_test
