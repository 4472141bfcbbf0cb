// The settings sheet and its three scene pages, driven as a user would.
#include <windows.h>
#include <commctrl.h>

#include <shlwapi.h>

#include <string>

#include "saver/resource.h"
#include "settings/settings_ids.h"
#include "tests/win/sheet_test_support.h"
#include "tests/win/test_support.h"

namespace {

using namespace sheet_testing;

bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
int Selection(HWND list) { return static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)); }
std::string Text(HWND hwnd) {
  char buffer[256] = {};
  GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

TEST_F(SheetTest, OpensOnAboutWithFiveTabsInOrder) {
  Open();
  EXPECT_EQ(Text(sheet->m_hWnd), "Configure Verivir");
  EXPECT_EQ(sheet->GetActivePage(), &AboutPage());
  HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet->m_hWnd, PSM_GETTABCONTROL, 0, 0));
  ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
  const char* captions[] = {"About Verivir", "About OpenGL", "General", "Text", "Verivir"};
  for (int i = 0; i < 5; ++i) {
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, captions[i]);
  }
  const CPropertyPage* pages[] = {&AboutPage(), &GLPage(), &GeneralPage(), &TextPage(),
                                  &VerivirPage()};
  for (int i = 0; i < 5; ++i) {
    Select(i);
    EXPECT_EQ(sheet->GetActivePage(), pages[i]) << "tab " << i;
  }
}

TEST_F(SheetTest, EveryFieldShowsInItsControlAndComesBackUnchanged) {
  settings = EveryFieldChanged();
  const SceneSettings before = settings;
  Open();
  Select(kGeneral);
  const CGeneralPage& g = GeneralPage();
  EXPECT_EQ(Checked(Item(g, IDC_BLEND)), before.blend);
  EXPECT_EQ(Checked(Item(g, IDC_ALPHA)), before.alpha);
  EXPECT_EQ(Checked(Item(g, IDC_DITHER)), before.dither);
  EXPECT_EQ(Checked(Item(g, IDC_LIGHTS)), before.lights);
  EXPECT_EQ(Checked(Item(g, IDC_SMOOTH)), before.smooth);
  EXPECT_EQ(Checked(Item(g, IDC_DISPLAY_LISTS)), before.displayLists);
  Select(kText);
  const CTextPage& t = TextPage();
  EXPECT_EQ(Text(Item(t, IDC_TEXT)), before.text);
  EXPECT_EQ(Selection(Item(t, IDC_TEXT_QUALITY)), before.textResolution);
  EXPECT_EQ(Selection(Item(t, IDC_TEXT_SIZE)), before.textSize);
  EXPECT_EQ(SendMessageA(Item(t, IDC_SPEED), TBM_GETPOS, 0, 0), before.textSpeed);
  EXPECT_EQ(Checked(Item(t, IDC_SHOW_TEXT)), before.textShow);
  EXPECT_EQ(Checked(Item(t, IDC_TEXT_COLOR)), before.textColor);
  Select(kVerivir);
  const ZAzozeruPage& z = VerivirPage();
  EXPECT_EQ(Checked(Item(z, IDC_BIG_SHOW)), before.bigShow);
  EXPECT_EQ(Selection(Item(z, IDC_BIG_DENSITY)), before.bigDensity);
  EXPECT_TRUE(Checked(Item(z, IDC_BIG_WIRE)));  // bigGestalt 1
  EXPECT_EQ(Checked(Item(z, IDC_BIG_COLOR)), before.bigColor);
  EXPECT_EQ(Checked(Item(z, IDC_SMALL_SHOW)), before.smallShow);
  EXPECT_EQ(Selection(Item(z, IDC_SMALL_DENSITY)), before.smallDensity);
  EXPECT_TRUE(Checked(Item(z, IDC_SMALL_SOLID)));  // smallGestalt 2
  EXPECT_EQ(Checked(Item(z, IDC_SMALL_COLOR)), before.smallColor);
  ClickSheetButton(IDOK);
  ASSERT_TRUE(sheet->IsFinished());
  EXPECT_EQ(sheet->GetResult(), IDOK);
  ExpectSameSettings(before, settings);
}

TEST_F(SheetTest, ListEntriesComeFromTheTemplateInOrder) {
  Open();
  Select(kText);
  Select(kVerivir);
  auto entries = [](HWND list) {
    std::string all;
    int n = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char text[32] = {};
      SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      all += std::string(i ? "," : "") + text;
    }
    return all;
  };
  EXPECT_EQ(entries(Item(TextPage(), IDC_TEXT_QUALITY)), "Low,Medium,High");
  EXPECT_EQ(entries(Item(TextPage(), IDC_TEXT_SIZE)), "Tiny,Small,Medium,Big");
  EXPECT_EQ(entries(Item(VerivirPage(), IDC_BIG_DENSITY)), "Low,Medium,High");
  EXPECT_EQ(entries(Item(VerivirPage(), IDC_SMALL_DENSITY)), "Low,Medium,High");
}

// A stored value the page cannot show (an edited registry) selects nothing,
// and a list or group with nothing selected leaves its field as it was.
TEST_F(SheetTest, OutOfRangeIndexShowsNothingAndIsKeptWhenNothingIsChosen) {
  settings.bigGestalt = 2;  // the big sphere has two appearances only
  settings.smallDensity = 5;
  settings.textSize = 7;
  Open();
  ClickSheetButton(IDOK);  // Verivir page never opened
  EXPECT_EQ(settings.bigGestalt, 2);
  EXPECT_EQ(settings.smallDensity, 5);
  Close();

  Open();
  Select(kVerivir);
  EXPECT_FALSE(Checked(Item(VerivirPage(), IDC_BIG_POINTS)));
  EXPECT_FALSE(Checked(Item(VerivirPage(), IDC_BIG_WIRE)));
  EXPECT_EQ(Selection(Item(VerivirPage(), IDC_SMALL_DENSITY)), -1);
  Select(kText);
  EXPECT_EQ(Selection(Item(TextPage(), IDC_TEXT_SIZE)), -1);
  Select(kGeneral);
  ClickSheetButton(IDOK);
  EXPECT_EQ(settings.bigGestalt, 2);
  EXPECT_EQ(settings.smallDensity, 5);
  EXPECT_EQ(settings.textSize, 7) << "not -1, which drew no text";
}

struct Rule {
  int tab;
  int master;
  std::vector<int> switched;   // greyed with the master
  std::vector<int> untouched;  // stay enabled
};

TEST_F(SheetTest, MasterBoxesGreyExactlyTheirControlsAndMarkModified) {
  const Rule rules[] = {
      {kText,
       IDC_SHOW_TEXT,
       {IDC_TEXT, IDC_FONT, IDC_TEXT_QUALITY, IDC_TEXT_SIZE, IDC_SPEED, IDC_TEXT_COLOR},
       {IDC_SLOW, IDC_FAST}},
      {kVerivir,
       IDC_BIG_SHOW,
       {IDC_BIG_DENSITY, IDC_BIG_APPEARANCE, IDC_BIG_POINTS, IDC_BIG_WIRE, IDC_BIG_COLOR},
       {IDC_SMALL_SHOW, IDC_SMALL_DENSITY, IDC_SMALL_POINTS, IDC_SMALL_COLOR}},
      {kVerivir,
       IDC_SMALL_SHOW,
       {IDC_SMALL_DENSITY, IDC_SMALL_APPEARANCE, IDC_SMALL_POINTS, IDC_SMALL_WIRE, IDC_SMALL_SOLID,
        IDC_SMALL_COLOR},
       {IDC_BIG_SHOW, IDC_BIG_DENSITY, IDC_BIG_POINTS, IDC_BIG_COLOR}},
  };
  for (const Rule& rule : rules) {
    SCOPED_TRACE(rule.master);
    Open();
    Select(rule.tab);
    HWND page = sheet->GetActivePage()->m_hWnd;
    EXPECT_FALSE(ApplyEnabled());
    for (int id : rule.switched) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    Click(GetDlgItem(page, rule.master));
    EXPECT_TRUE(ApplyEnabled());
    for (int id : rule.switched) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    for (int id : rule.untouched) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    // Labels without an id stay enabled too.
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (GetDlgCtrlID(c) == -1 || GetDlgCtrlID(c) == 0xFFFF) {
        EXPECT_TRUE(IsWindowEnabled(c));
      }
    }
    Click(GetDlgItem(page, rule.master));
    for (int id : rule.switched) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    Close();
  }
}

TEST_F(SheetTest, ApplyStoresValuesGreysApplyAndTurnsCancelIntoClose) {
  const SceneSettings before = settings;
  Open();
  Select(kGeneral);
  Click(Item(GeneralPage(), IDC_BLEND));
  Select(kVerivir);
  Click(Item(VerivirPage(), IDC_SMALL_SOLID));
  EXPECT_EQ(settings.blend, before.blend);  // nothing stored before Apply
  ASSERT_TRUE(ApplyEnabled());
  ClickSheetButton(ID_APPLY_NOW);
  EXPECT_EQ(settings.blend, !before.blend);
  EXPECT_EQ(settings.smallGestalt, 2);
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->m_hWnd, IDCANCEL)));
  EXPECT_EQ(Text(GetDlgItem(sheet->m_hWnd, IDOK)), "Close");
  EXPECT_FALSE(sheet->IsFinished());
  EXPECT_EQ(settings.doubleBuffer, before.doubleBuffer);
  EXPECT_EQ(settings.genericAccel, before.genericAccel);
  ClickSheetButton(IDOK);
  EXPECT_TRUE(sheet->IsFinished());
  EXPECT_EQ(sheet->GetResult(), IDOK);
}

TEST_F(SheetTest, CancelWithoutApplyLeavesSettingsUnchanged) {
  settings = EveryFieldChanged();
  const SceneSettings before = settings;
  Open();
  Select(kGeneral);
  Click(Item(GeneralPage(), IDC_ALPHA));
  Select(kText);
  SetWindowTextA(Item(TextPage(), IDC_TEXT), "changed");
  Click(Item(TextPage(), IDC_TEXT_COLOR));
  EXPECT_TRUE(ApplyEnabled());
  ClickSheetButton(IDCANCEL);
  ASSERT_TRUE(sheet->IsFinished());
  EXPECT_EQ(sheet->GetResult(), IDCANCEL);
  ExpectSameSettings(before, settings);
}

TEST_F(SheetTest, TypingEnablesApplyButFillingTheBoxDoesNot) {
  Open();
  Select(kText);
  EXPECT_FALSE(ApplyEnabled());
  Select(kGeneral);
  Select(kText);  // the text is exchanged into the box again
  EXPECT_FALSE(ApplyEnabled());
  SendMessageA(Item(TextPage(), IDC_TEXT), WM_CHAR, 'x', 0);
  Pump();
  EXPECT_TRUE(ApplyEnabled());
  ClickSheetButton(ID_APPLY_NOW);
  EXPECT_EQ(settings.text, "xVerivir");  // typed at the caret, which starts in front
}

// Any character: the box is a Unicode window showing the text whole, a typed
// character outside the code page comes through the sheet's loop intact, and
// Apply hands the text back as it is.
TEST_F(SheetTest, UnicodeTextIsShownTypedAndAppliedWhole) {
  settings.text = testing_support::kUnicodeText;
  const std::string before = settings.text;
  Open();
  Select(kText);
  HWND edit = Item(TextPage(), IDC_TEXT);
  EXPECT_TRUE(IsWindowUnicode(edit));
  wchar_t shown[64] = {};
  GetWindowTextW(edit, shown, 64);
  EXPECT_EQ(std::wstring(shown), testing_support::kUnicodeTextW);
  SendMessageW(edit, EM_SETSEL, 0, 0);
  PostMessageW(edit, WM_CHAR, 0x03A9, 0);  // queued, as a key press is
  Pump();
  EXPECT_TRUE(ApplyEnabled());
  ClickSheetButton(ID_APPLY_NOW);
  EXPECT_EQ(settings.text, "\xce\xa9" + before);
}

TEST_F(SheetTest, SliderSpeedIsTakenOverOnApplyNotWhileDragging) {
  Open();
  Select(kText);
  HWND slider = Item(TextPage(), IDC_SPEED);
  SetFocus(slider);
  SendMessageA(slider, WM_KEYDOWN, VK_END, 0);  // the trackbar moves and scrolls its parent
  SendMessageA(slider, WM_KEYUP, VK_END, 0);
  Pump();
  EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 10);
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(settings.textSpeed, 1);
  Select(kGeneral);  // leaving the page does not take it over either
  EXPECT_EQ(settings.textSpeed, 1);
  ClickSheetButton(ID_APPLY_NOW);
  EXPECT_EQ(settings.textSpeed, 10);
}

TEST_F(SheetTest, ClosingADensityListWithoutAChangeDoesNotEnableApply) {
  Open();
  Select(kVerivir);
  HWND list = Item(VerivirPage(), IDC_BIG_DENSITY);
  SendMessageA(list, CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
  EXPECT_FALSE(ApplyEnabled());
  // A list closed on another entry does count.
  SendMessageA(list, CB_SHOWDROPDOWN, TRUE, 0);
  SendMessageA(list, CB_SETCURSEL, 2, 0);
  SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
  EXPECT_TRUE(ApplyEnabled());
  ClickSheetButton(ID_APPLY_NOW);
  EXPECT_EQ(settings.bigDensity, 2);
}

// The modal font dialog is driven from a timer that runs inside its loop.
struct FontDriver {
  static bool ok;
  static std::string face;
  static bool seen;
  // This thread's own font dialog: another test's dialog may be first on the desktop.
  static BOOL CALLBACK FindFontDialog(HWND hwnd, LPARAM found) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != "#32770" || !GetDlgItem(hwnd, 0x470)) return TRUE;  // cmb1, faces
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFontDialog, reinterpret_cast<LPARAM>(&dlg));
    if (!dlg) return;
    KillTimer(nullptr, id);
    seen = true;
    if (ok) {
      HWND faces = GetDlgItem(dlg, 0x470);
      int index = static_cast<int>(SendMessageA(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(face.c_str())));
      SendMessageA(faces, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(faces));
    }
    PostMessageA(dlg, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
  }
};
bool FontDriver::ok = false;
bool FontDriver::seen = false;
std::string FontDriver::face;

TEST_F(SheetTest, FontDialogOkChangesOnlyTheFaceNameAndCancelNothing) {
  const SceneSettings before = settings;
  Open();
  Select(kText);
  FontDriver::ok = false;
  FontDriver::seen = false;
  SetTimer(nullptr, 0, 100, FontDriver::Tick);
  Click(Item(TextPage(), IDC_FONT));
  EXPECT_TRUE(FontDriver::seen);
  EXPECT_FALSE(ApplyEnabled());

  FontDriver::ok = true;
  FontDriver::seen = false;
  FontDriver::face = "Liberation Mono";
  SetTimer(nullptr, 0, 100, FontDriver::Tick);
  Click(Item(TextPage(), IDC_FONT));
  EXPECT_TRUE(FontDriver::seen);
  EXPECT_TRUE(ApplyEnabled());
  ClickSheetButton(ID_APPLY_NOW);
  SceneSettings expected = before;
  expected.font = "Liberation Mono";
  ExpectSameSettings(expected, settings);
}

TEST_F(SheetTest, EveryControlOfTheScenePagesHasItsTooltip) {
  struct Tip {
    int tab;
    int control;
    const char* text;
  };
  const Tip tips[] = {
      {kGeneral, IDC_BLEND, "Use smooth color transitions"},
      {kGeneral, IDC_DISPLAY_LISTS, "Precompile objects into lists for faster rendering"},
      {kText, IDC_SPEED, "Change the rotating speed"},
      {kText, IDC_SHOW_TEXT, "Display a line of text"},
      {kVerivir, IDC_SMALL_SOLID, "Use a brush to draw the small sphere"},
      {kVerivir, IDC_BIG_DENSITY, "Level of detail of the big sphere"},
  };
  const int counts[] = {0, 0, 6, 7, 11};
  Open();
  for (const Tip& tip : tips) {
    Select(tip.tab);
    HWND page = sheet->GetActivePage()->m_hWnd;
    HWND control = GetDlgItem(page, tip.control);
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = page;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    // The page's tooltip is the top-level tooltip window that knows this control.
    HWND tooltip = nullptr;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
      char cls[64] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (std::string(cls) == TOOLTIPS_CLASSA &&
          SendMessageA(w, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)))
        tooltip = w;
    }
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), counts[tip.tab]);
    char text[128] = {};
    ti.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, tip.text);
  }
}

TEST_F(SheetTest, ScreenshotOfEveryPage) {
  Open();
  const char* names[] = {"about", "opengl", "general", "text", "verivir"};
  SetWindowPos(sheet->m_hWnd, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  for (int i = 0; i < 5; ++i) {
    Select(i);
    RedrawWindow(sheet->m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(300);
    std::string path = ProgramFolder() + "sheet_" + std::to_string(i) + "_" + names[i] + ".png";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SaveWindowPng(sheet->m_hWnd, path));
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_GT(data.nFileSizeLow, 10000u) << path;
  }
}

}  // namespace
