// The settings sheet at 96 and at 144 dpi: each run is a process of its own
// (the system reads the scaling when a process starts), given the scaling
// through the registry value the system reads it from.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "tests/win/sheet_test_support.h"

namespace {

using sheet_testing::ProgramFolder;

// Sets "LogPixels" for the life of the object; puts back what was there.
class ScalingSetting {
 public:
  explicit ScalingSetting(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                            &size) == ERROR_SUCCESS;
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  ~ScalingSetting() {
    if (had_)
      RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                     sizeof old_);
    else
      RegDeleteValueA(key_, "LogPixels");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool had_ = false;
};

using Figures = std::map<std::string, long>;

Figures Probe(DWORD dpi, const std::string& shot) {
  ScalingSetting scaling(dpi);
  const std::string folder = ProgramFolder();
  const std::string report = folder + "sheet_scale_" + std::to_string(dpi) + ".txt";
  DeleteFileA(report.c_str());
  std::string command = "\"" + folder + "sheet_scale_probe.exe\" \"" + report + "\"";
  if (!shot.empty()) command += " \"" + folder + shot + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  Figures figures;
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    ADD_FAILURE() << "cannot start the probe: " << GetLastError();
    return figures;
  }
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(0u, code) << "probe at " << dpi << " dpi";
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::ifstream in(report);
  std::string name;
  long value = 0;
  while (in >> name >> value) figures[name] = value;
  return figures;
}

double Ratio(const Figures& at96, const Figures& at144, const std::string& name) {
  if (!at96.count(name) || !at144.count(name) || at96.at(name) == 0) {
    ADD_FAILURE() << "no figure " << name;
    return 0.0;
  }
  return static_cast<double>(at144.at(name)) / at96.at(name);
}

// The 144-dpi figure is about one and a half times the 96-dpi one: fonts are
// rounded to whole pixels (12 to 17 rows, not 18, is seen).
void ExpectScaled(const Figures& at96, const Figures& at144, const std::string& name) {
  SCOPED_TRACE(name);
  const double ratio = Ratio(at96, at144, name);
  EXPECT_GT(ratio, 1.35) << at96.at(name) << " -> " << at144.at(name);
  EXPECT_LT(ratio, 1.65) << at96.at(name) << " -> " << at144.at(name);
}

TEST(SheetScaling, PageIconLinksAndTextFollowTheDisplayScaling) {
  const Figures at96 = Probe(96, "sheet-96dpi.png");
  const Figures at144 = Probe(144, "sheet-144dpi.png");
  ASSERT_FALSE(at96.empty());
  ASSERT_FALSE(at144.empty());
  EXPECT_EQ(96, at96.at("dpi"));
  EXPECT_EQ(144, at144.at("dpi"));
  // The probe carries Verivir's manifest: the system must have read it.
  EXPECT_EQ(1, at96.at("aware"));
  EXPECT_EQ(1, at144.at("aware"));
  ExpectScaled(at96, at144, "font_h");
  EXPECT_EQ(32, at96.at("icon_w"));
  EXPECT_EQ(48, at144.at("icon_w"));
  // The page is laid out in dialog units, which follow the dialog font. Its
  // height also holds the sheet's tab row, which does not grow in proportion
  // (229 to 300 rows seen): what counts is that it grows and cuts nothing off.
  ExpectScaled(at96, at144, "dlu_x");
  ExpectScaled(at96, at144, "page_w");
  EXPECT_GT(Ratio(at96, at144, "page_h"), 1.25);
  EXPECT_GT(Ratio(at96, at144, "dlu_y"), 1.35);
  EXPECT_EQ(0, at96.at("controls_cut_off"));
  EXPECT_EQ(0, at144.at("controls_cut_off"));
  for (const char* link : {"home", "mail", "update"}) {
    const std::string l = link;
    ExpectScaled(at96, at144, l + "_w");
    ExpectScaled(at96, at144, l + "_h");
    // The hit area follows the text at both scalings.
    for (const Figures* f : {&at96, &at144}) {
      EXPECT_EQ(1, f->at(l + "_hit_end")) << l;
      if (f->count(l + "_hit_beyond")) {
        EXPECT_EQ(0, f->at(l + "_hit_beyond")) << l;
      }
    }
  }
}

// A dialog font made anew (as the system does when the sheet moves to a monitor
// with another scaling): the link's hit area and its bold copy follow it.
class LinkFontChange : public sheet_testing::SheetTest {};

TEST_F(LinkFontChange, HitAreaAndBoldFontFollowANewDialogFont) {
  Open();
  CLinkButton& link = AboutPage().GetLink(CAboutPage::kHome);
  const RECT before = link.TextRect();
  LOGFONTA lf = {};
  GetObjectA(link.GetFont(), sizeof lf, &lf);
  lf.lfHeight = lf.lfHeight * 2 + (lf.lfHeight < 0 ? -1 : 1);
  HFONT larger = CreateFontIndirectA(&lf);
  SendMessageA(link.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(larger), TRUE);
  const RECT after = link.TextRect();
  EXPECT_GT(after.right - after.left, (before.right - before.left) * 3 / 2);
  EXPECT_GT(after.bottom - after.top, (before.bottom - before.top) * 3 / 2);
  // The end of the larger text, beyond the old one, is part of the link.
  SendMessageA(link.m_hWnd, WM_MOUSEMOVE, 0,
               MAKELPARAM(after.right - 2, (after.top + after.bottom) / 2));
  EXPECT_TRUE(link.Hovering());
  link.EndHover();
  LOGFONTA bold = {};
  ASSERT_NE(nullptr, link.BoldFont());
  GetObjectA(link.BoldFont(), sizeof bold, &bold);
  EXPECT_EQ(lf.lfHeight, bold.lfHeight);
  EXPECT_EQ(FW_BOLD, bold.lfWeight);
  Close();
  DeleteObject(larger);
}

// The manifest resource (type 24, id 1) of a program, as the loader reads it.
std::string Manifest(const char* program) {
  HMODULE module = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return "";
  std::string text;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  if (loaded)
    text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
  FreeLibrary(module);
  return text;
}

TEST(SheetScaling, BothProgramsDeclarePerMonitorAwarenessWithSystemAsFallback) {
  for (const char* program : {VERIVIR_SCR, NUVORA_EXE}) {
    SCOPED_TRACE(program);
    const std::string manifest = Manifest(program);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(std::string::npos, manifest.find(">PerMonitorV2, System</dpiAwareness>"));
    // Systems before the per-monitor kinds read only this one.
    EXPECT_NE(std::string::npos, manifest.find(">true</dpiAware>"));
  }
}

}  // namespace
