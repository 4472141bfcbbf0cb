// Renders every window a user sees into PNG files under Wine: the saver in its
// styles and the wait dialog, the settings pages, Nuvora's dialogs and messages,
// the installer's and the uninstaller's pages.
//   window_shots OUT_DIR VERIVIR_SCR NUVORA_EXE INSTALLER SERVER_STATE WORK_DIR
// SERVER_STATE is a running loopback test server's state folder. Exit code 0
// when every picture was taken and none is blank.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/release/installed_system.h"
#include "tests/update/nuvora_driver.h"
#include "tests/win/png_writer.h"
#include "tests/win/test_support.h"
#include "verivir_version.h"

// The Nuvora driver takes these from the command line here.
const char* shots_nuvora_exe = "";
const char* shots_server_state = "";
const char* shots_work_dir = "";

namespace {

using nuvora_test::Kind;
using nuvora_test::NuvoraRun;

constexpr DWORD kStepMs = 20;
std::string g_out;
std::vector<std::string> g_missing;

struct Image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // rows bottom-up
  bool Blank() const {
    for (size_t i = 3; i < rgb.size(); ++i)
      if (rgb[i] != rgb[i % 3]) return false;
    return true;
  }
  bool operator==(const Image& o) const { return width == o.width && rgb == o.rgb; }
};

Image Capture(const RECT& r) {
  Image image;
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  if (image.width <= 0 || image.height <= 0) return image;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = image.width;
  bi.bmiHeader.biHeight = image.height;  // bottom-up, as the PNG writer wants
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  if (BitBlt(mem, 0, 0, image.width, image.height, screen, r.left, r.top, SRCCOPY)) {
    GdiFlush();
    const auto* px = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < image.width * image.height; ++i)
      image.rgb.insert(image.rgb.end(), {px[i * 4 + 2], px[i * 4 + 1], px[i * 4]});
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return image;
}

void Save(const std::string& name, const Image& image) {
  const std::string path = g_out + "\\" + name + ".png";
  if (image.rgb.empty() || image.Blank() ||
      !testing_support::WritePng(path, image.width, image.height, image.rgb)) {
    g_missing.push_back(name);
    std::printf("missing: %s\n", name.c_str());
  } else {
    std::printf("%s.png %dx%d\n", name.c_str(), image.width, image.height);
  }
}

// A window is shot once it has painted: two captures a step apart agree.
void Shoot(const std::string& name, HWND window) {
  RECT r = {};
  if (!window || !GetWindowRect(window, &r)) return Save(name, {});
  Image last = Capture(r);
  for (int i = 0; i < 250; ++i) {
    Sleep(kStepMs);
    Image now = Capture(r);
    if (now == last && !now.Blank()) return Save(name, now);
    last = std::move(now);
  }
  Save(name, last);
}

HWND WaitForWindow(const std::function<HWND()>& find, DWORD timeoutMs = 30000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(kStepMs))
    if (HWND hwnd = find()) return hwnd;
  return nullptr;
}

// fullScreen: 1 only full-screen windows, 0 only smaller ones, -1 any; caption "": any.
HWND OfProcess(DWORD pid, const std::string& caption, int fullScreen = -1) {
  return testing_support::FindTopWindow(pid, [&](HWND hwnd) {
    if (!caption.empty() && nuvora_test::Text(hwnd) != caption) return false;
    RECT r;
    GetWindowRect(hwnd, &r);
    const bool full = r.right - r.left >= GetSystemMetrics(SM_CXSCREEN);
    return fullScreen < 0 || full == (fullScreen == 1);
  });
}

PROCESS_INFORMATION Start(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &process);
  return process;
}

void Stop(PROCESS_INFORMATION& process) {
  if (!process.hProcess) return;
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
    TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  process = {};
}

const std::string kSettings = std::string(release_test::kSettingsKey) + "\\1.1\\";

// The saver in one style: the shot is taken once the animation moves.
void ShootSaver(const std::string& saver, const std::string& name, DWORD big, DWORD small,
                const char* text, bool waitDialog) {
  using release_test::RegSetNumber;
  RegSetNumber(HKEY_CURRENT_USER, kSettings + "Big Sphere", "Gestalt", big);
  RegSetNumber(HKEY_CURRENT_USER, kSettings + "Small Sphere", "Gestalt", small);
  release_test::RegSetText(HKEY_CURRENT_USER, kSettings + "Text", "Text", text);
  PROCESS_INFORMATION process = Start("\"" + saver + "\" /s");
  if (waitDialog) {
    // Shown only while the scene is prepared: on a fast machine it may come and go unseen.
    HWND dialog =
        WaitForWindow([&] { return OfProcess(process.dwProcessId, "ZOV Verivir", 0); }, 5000);
    if (dialog)
      Shoot("wait_dialog", dialog);
    else
      std::printf("not seen: wait_dialog\n");
  }
  HWND window = WaitForWindow([&] { return OfProcess(process.dwProcessId, "", 1); });
  // Ready when the saver says its scene is (the wait dialog is gone then) and
  // two captures differ.
  WaitForWindow([&] { return window && GetPropA(window, "VerivirSceneReady") ? window : nullptr; },
                120000);
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Image first = Capture(screen), now;
  for (int i = 0; i < 500 && window; ++i) {
    Sleep(kStepMs);
    now = Capture(screen);
    if (!(now == first) && !now.Blank()) break;
  }
  Save(name, window ? now : Image{});
  Stop(process);
}

void ShootSettings(const std::string& saver) {
  PROCESS_INFORMATION process = Start("\"" + saver + "\" /c");
  HWND sheet = WaitForWindow([&] { return OfProcess(process.dwProcessId, "Configure Verivir"); });
  const char* pages[] = {"about", "opengl", "general", "text", "verivir"};
  for (int i = 0; i < 5; ++i) {
    if (sheet) SendMessageA(sheet, PSM_SETCURSEL, i, 0);
    Shoot(std::string("settings_") + std::to_string(i + 1) + "_" + pages[i], sheet);
  }
  if (sheet) PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
  Stop(process);
}

// A signed feed, as tools/release writes one.
std::string Feed(int verHi, const std::string& path) {
  nuvora_test::Keys keys = {{"VerHi", std::to_string(verHi)},
                            {"VerLo", "0"},
                            {"AppName", "Verivir"},
                            {"Version", std::to_string(verHi) + ".0"},
                            {"Price", "Freeware"},
                            {"Size", "195 kB"},
                            {"LangCount", "2"},
                            {"Lang001", "English"},
                            {"Lang002", "Deutsch"},
                            {"FileName", "VerivirSetup.exe"},
                            {"DlSize", "195"}};
  if (!path.empty()) keys.push_back({"Path001", path});
  return nuvora_test::Feed("Verivir", keys);
}

void ShootMessage(NuvoraRun& run, const std::string& name, int answer) {
  HWND box = run.WaitFor(Kind::Message, 30000);
  Shoot(name, box);
  if (box) nuvora_test::Press(box, answer);
  DWORD code = 0;
  run.WaitExit(&code);
}

void ShootNuvora() {
  // The shipped Nuvora trusts the test key as an organisation's own key.
  nuvora_test::ForgetFeedSerials();
  nuvora_test::ScopedTrustedKey trust(HKEY_LOCAL_MACHINE, nuvora_test::FeedKey::Trusted().Public());
  {
    NuvoraRun run("shots_about");
    run.Start("");
    HWND about = run.WaitFor(Kind::About);
    Shoot("nuvora_about", about);
    if (about) nuvora_test::Press(about, IDOK);
  }
  {
    NuvoraRun run("shots_offer");
    // Slow on purpose: the connecting dialog and the progress stay long enough to be seen.
    const std::string installer = nuvora_test::Url("shots_offer/setup.exe?size=400000&drip=40");
    run.Start(run.ServeFeed("update.ini", Feed(99, installer)) + "?delay=1500,Verivir,1,17");
    Shoot("nuvora_connecting", run.WaitFor(Kind::Connecting));
    HWND info = run.WaitFor(Kind::Information, 30000);
    Shoot("nuvora_information", info);
    if (info) nuvora_test::Press(info, IDOK);
    Shoot("nuvora_save_as", run.WaitFor(Kind::SaveAs));
    run.SaveAs(run.LocalPath("VerivirSetup.exe"));
    HWND download = run.WaitFor(Kind::Download);
    // Once some kilobytes have arrived.
    WaitForWindow([&] {
      return nuvora_test::ControlText(download, 1007).rfind("(0 kB", 0) == 0 ? nullptr : download;
    });
    Shoot("nuvora_download", download);
    ShootMessage(run, "nuvora_install_question", IDNO);
  }
  {
    NuvoraRun run("shots_no_newer");
    run.Start(run.ServeFeed("update.ini", Feed(0, "")) + ",Verivir,1,17");
    ShootMessage(run, "nuvora_no_newer", IDOK);
  }
  {
    NuvoraRun run("shots_unverified");
    run.Start(run.Serve("update.ini", Feed(99, "")) + ",Verivir,1,17");
    ShootMessage(run, "nuvora_unverified", IDOK);
  }
  {
    NuvoraRun run("shots_no_connection");
    run.Start("http://127.0.0.1:1/config/update.ini,Verivir,1,17");
    ShootMessage(run, "nuvora_no_connection", IDOK);
  }
}

void ShootInstaller(const std::string& installer) {
  PROCESS_INFORMATION process = Start("\"" + installer + "\"");
  release_test::SetupWizard setup(std::string("Verivir ") + VERIVIR_VERSION_TEXT + " Setup");
  if (setup.Appear()) {
    Shoot("installer_1_welcome", setup.Find());
    if (!setup.Press("&Next >")) {
      std::printf("installer: Next could not be pressed\n");
    }
    Shoot("installer_2_components", setup.window());
    setup.Press("&Install");
    WaitForWindow([&] {
      HWND next = GetDlgItem(setup.window(), IDOK);
      return next && nuvora_test::Text(next) == "&Finish" ? next : nullptr;
    });
    Shoot("installer_3_finish", setup.window());
    setup.Press("&Finish");
  } else {
    for (const char* name : {"installer_1_welcome", "installer_2_components", "installer_3_finish"})
      Save(name, {});
  }
  Stop(process);

  auto uninstall =
      release_test::RegText(HKEY_LOCAL_MACHINE, release_test::kUninstallKey, "UninstallString");
  PROCESS_INFORMATION un = Start(uninstall.value_or("no-uninstaller.exe"));
  release_test::SetupWizard remover(std::string("Verivir ") + VERIVIR_VERSION_TEXT + " Uninstall");
  if (remover.Appear()) {
    Shoot("uninstaller_components", remover.window());
    remover.Press("&Uninstall");
    remover.Press("&Close");
    remover.End();
  } else {
    Save("uninstaller_components", {});
  }
  Stop(un);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr,
                 "usage: window_shots OUT_DIR VERIVIR_SCR NUVORA_EXE INSTALLER SERVER_STATE "
                 "WORK_DIR\n");
    return 2;
  }
  g_out = argv[1];
  const std::string saver = argv[2], installer = argv[4];
  shots_nuvora_exe = argv[3];
  shots_server_state = argv[5];
  shots_work_dir = argv[6];
  CreateDirectoryA(g_out.c_str(), nullptr);

  ShootSaver(saver, "saver_points", 0, 0, "Verivir", true);
  ShootSaver(saver, "saver_wireframe", 1, 1, "Verivir", false);
  ShootSaver(saver, "saver_solid", 1, 2, "Verivir", false);
  ShootSaver(saver, "saver_clock", 1, 2, "%H:%M:%S", false);
  ShootSettings(saver);
  ShootNuvora();
  ShootInstaller(installer);
  release_test::RegDeleteTree(HKEY_CURRENT_USER, release_test::kSettingsKey);

  std::printf("%zu pictures missing\n", g_missing.size());
  return g_missing.empty() ? 0 : 1;
}
