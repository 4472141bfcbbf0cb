// The About page: build line and the owner-drawn link buttons.
#include <windows.h>

#include <regex>
#include <string>

#include "settings/build_stamp.h"
#include "verivir_build_time.h"
#include "settings/settings_ids.h"
#include "tests/win/sheet_test_support.h"

namespace {

using namespace sheet_testing;

// Points the shell's http and mailto handlers at the recorder beside the test
// program for the life of the object; Nuvora.exe is that recorder too.
class ShellRecorder {
 public:
  ShellRecorder() {
    log_ = ProgramFolder() + "nuvora_calls.txt";
    DeleteFileA(log_.c_str());
    std::string command = "\"" + ProgramFolder() + "Nuvora.exe\" %1";
    for (const char* scheme : {"http", "mailto"}) {
      std::string key = std::string(scheme) + "\\shell\\open\\command";
      char old[1024] = {};
      LONG size = sizeof old;
      bool had = RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), old, &size) == ERROR_SUCCESS;
      saved_.push_back({key, had, old});
      RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, command.c_str(),
                   static_cast<DWORD>(command.size()));
    }
  }
  ~ShellRecorder() {
    for (const Saved& s : saved_) {
      if (s.had)
        RegSetValueA(HKEY_CLASSES_ROOT, s.key.c_str(), REG_SZ, s.value.c_str(),
                     static_cast<DWORD>(s.value.size()));
    }
  }
  std::string Calls() const {
    std::string text;
    HANDLE f = CreateFileA(log_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n) text.append(buffer, n);
    CloseHandle(f);
    return text;
  }

 private:
  struct Saved {
    std::string key;
    bool had;
    std::string value;
  };
  std::string log_;
  std::vector<Saved> saved_;
};

COLORREF PixelAt(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class AboutTest : public SheetTest {
 protected:
  void SetUp() override {
    Open();
    ASSERT_EQ(sheet->GetActivePage(), &AboutPage());
  }
  // A point on the underline, a point inside the text and one beyond its end.
  // Whether the underline shows colour c. A focus rectangle inverts every other
  // pixel of the same row, so one of two neighbours always shows the line itself.
  static bool UnderlineIs(CLinkButton& b, COLORREF c) {
    RECT r = b.TextRect();
    return PixelAt(b.m_hWnd, r.left + 2, r.bottom - 1) == c ||
           PixelAt(b.m_hWnd, r.left + 3, r.bottom - 1) == c;
  }
  static POINT OnText(CLinkButton& b) {
    RECT r = b.TextRect();
    return {r.left + 3, (r.top + r.bottom) / 2};
  }
  static POINT BeyondText(CLinkButton& b) {
    RECT r = b.TextRect();
    return {r.right + 20, (r.top + r.bottom) / 2};
  }
  void Move(CLinkButton& b, POINT p) {
    SendMessageA(b.m_hWnd, WM_MOUSEMOVE, 0, At(p.x, p.y));
    Pump(10);
  }
  void Press(CLinkButton& b, POINT p) {
    SendMessageA(b.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y));
    SendMessageA(b.m_hWnd, WM_LBUTTONUP, 0, At(p.x, p.y));
    Pump(10);
  }
};

TEST_F(AboutTest, BuildLineShowsTheBuildTimeInGrey) {
  HWND build = Item(AboutPage(), IDC_BUILD);
  char text[128] = {};
  GetWindowTextA(build, text, sizeof text);
#ifdef VERIVIR_BUILD_TIME
  EXPECT_EQ(std::string(text), "Build: " + build_stamp::FromUnixTime(VERIVIR_BUILD_TIME));
#else
  EXPECT_EQ(std::string(text),
            "Build: " + build_stamp::FromDateAndTime(__DATE__, __TIME__).substr(0, 11) +
                std::string(text).substr(18));
#endif
  EXPECT_TRUE(std::regex_match(
      text, std::regex("Build: (Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 123][0-9] "
                       "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] 20[0-9]{2}")))
      << text;
  EXPECT_FALSE(IsWindowEnabled(build));
}

TEST_F(AboutTest, LinksReadAsTheyShould) {
  EXPECT_EQ(AboutPage().GetLink(CAboutPage::kHome).GetWindowText(), "Visit our Homepage");
  EXPECT_EQ(AboutPage().GetLink(CAboutPage::kMail).GetWindowText(),
            "Write us for more information");
  EXPECT_EQ(AboutPage().GetLink(CAboutPage::kUpdate).GetWindowText(),
            "Check for a new version of Verivir");
}

TEST_F(AboutTest, HoverOnTheTextOnlyWithHandCursorAndColour) {
  CLinkButton& b = AboutPage().GetLink(CAboutPage::kHome);
  RECT client, text = b.TextRect();
  b.GetClientRect(&client);
  ASSERT_LT(text.right + 20, client.right);  // room beyond the end of the text
  EXPECT_TRUE(UnderlineIs(b, b.GetColors().normal));

  Move(b, OnText(b));
  EXPECT_TRUE(b.Hovering());
  EXPECT_EQ(GetCapture(), b.m_hWnd);
  EXPECT_EQ(GetCursor(), LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
  EXPECT_TRUE(UnderlineIs(b, RGB(192, 0, 192)));

  Move(b, BeyondText(b));
  EXPECT_FALSE(b.Hovering());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(UnderlineIs(b, b.GetColors().normal));
}

// The classic grey face keeps the link colours; any other scheme gives the system's.
TEST_F(AboutTest, LinkColoursFollowTheColourScheme) {
  int element = COLOR_BTNFACE;
  COLORREF original = GetSysColor(COLOR_BTNFACE);
  COLORREF grey = RGB(192, 192, 192), other = RGB(200, 220, 240);
  SetSysColors(1, &element, &grey);
  CLinkButton classic(IDS_LINK_HOME);
  SetSysColors(1, &element, &other);
  CLinkButton themed(IDS_LINK_HOME);
  SetSysColors(1, &element, &original);
  EXPECT_EQ(classic.GetColors().normal, RGB(0, 0, 192));
  EXPECT_EQ(classic.GetColors().visited, RGB(128, 0, 128));
  EXPECT_EQ(classic.GetColors().pressed, RGB(255, 0, 0));
  EXPECT_EQ(classic.GetColors().background, grey);
  EXPECT_EQ(themed.GetColors().normal, GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(themed.GetColors().visited, GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(themed.GetColors().pressed, GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(themed.GetColors().background, other);
  EXPECT_EQ(themed.GetColors().hover, RGB(192, 0, 192));
  EXPECT_EQ(themed.Target(), "http://www.example.com/");
}

// Windows tells the sheet, a top-level window; the links are its grandchildren.
TEST_F(AboutTest, AColourSchemeChangeReachesTheLinksThroughTheSheet) {
  CLinkButton* links[] = {&AboutPage().GetLink(CAboutPage::kHome),
                          &AboutPage().GetLink(CAboutPage::kMail),
                          &AboutPage().GetLink(CAboutPage::kUpdate)};
  int element = COLOR_BTNFACE;
  const COLORREF original = GetSysColor(COLOR_BTNFACE), other = RGB(200, 220, 240);
  ASSERT_NE(original, other);
  SetSysColors(1, &element, &other);
  SendMessageA(sheet->m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
  COLORREF seen[3][3];
  BYTE highContrast[3];
  for (int i = 0; i < 3; ++i) {
    seen[i][0] = links[i]->GetColors().background;
    seen[i][1] = links[i]->GetColors().normal;
    seen[i][2] = links[i]->GetColors().pressed;
    highContrast[i] = links[i]->HighContrast();
  }
  SetSysColors(1, &element, &original);
  SendMessageA(sheet->m_hWnd, WM_SYSCOLORCHANGE, 0, 0);

  HIGHCONTRASTA hc = {};
  hc.cbSize = sizeof hc;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0));
  const BYTE systemHighContrast = (hc.dwFlags & HCF_HIGHCONTRASTON) ? 1 : 0;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i][0], other);
    EXPECT_EQ(seen[i][1], GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(seen[i][2], GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(highContrast[i], systemHighContrast) << "read again: it picks the font";
    EXPECT_EQ(links[i]->GetColors().background, original) << "and back with the next change";
  }
}

TEST_F(AboutTest, HandCursorIsThirtyTwoPixelsWithHotSpotAtSixZero) {
  HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
  ASSERT_NE(hand, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 6u);
  EXPECT_EQ(info.yHotspot, 0u);
  BITMAP mask = {};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmWidth, 32);
  EXPECT_EQ(mask.bmHeight, 64);  // monochrome: the AND and XOR masks stacked
  EXPECT_EQ(info.hbmColor, nullptr);
  DeleteObject(info.hbmMask);
}

TEST_F(AboutTest, ClicksOnTheTextOpenTheTargetsThroughTheShell) {
  ShellRecorder recorder;
  CLinkButton& home = AboutPage().GetLink(CAboutPage::kHome);
  CLinkButton& mail = AboutPage().GetLink(CAboutPage::kMail);
  CLinkButton& update = AboutPage().GetLink(CAboutPage::kUpdate);

  // Beyond the end of the text a press does nothing.
  Move(home, BeyondText(home));
  Press(home, BeyondText(home));
  EXPECT_FALSE(home.Visited());

  Move(home, OnText(home));
  Press(home, OnText(home));
  EXPECT_TRUE(home.Visited());
  Move(home, BeyondText(home));
  EXPECT_TRUE(UnderlineIs(home, home.GetColors().visited));

  // The keyboard works as for any push button.
  SetFocus(mail.m_hWnd);
  SendMessageA(mail.m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(mail.m_hWnd, WM_KEYUP, VK_SPACE, 0);
  Pump(10);
  EXPECT_TRUE(mail.Visited());

  Move(update, OnText(update));
  Press(update, OnText(update));
  Move(update, BeyondText(update));

  DWORD start = GetTickCount();
  std::string calls;
  while (GetTickCount() - start < 15000) {
    calls = recorder.Calls();
    if (calls.find("Verivir") != std::string::npos && calls.find("mailto") != std::string::npos &&
        calls.find("http") != std::string::npos)
      break;
    Pump(50);
  }
  EXPECT_NE(calls.find("http://www.example.com/"), std::string::npos) << calls;
  EXPECT_NE(calls.find("mailto:info@example.com"), std::string::npos) << calls;
  EXPECT_NE(calls.find("\nVerivir,1,17\n"), std::string::npos) << calls;
}

TEST_F(AboutTest, FocusRectangleAroundTheTextOnly) {
  CLinkButton& b = AboutPage().GetLink(CAboutPage::kMail);
  RECT text = b.TextRect();
  SetFocus(b.m_hWnd);
  Pump(50);
  EXPECT_TRUE(b.FocusShown());
  int dotted = 0;
  for (int x = text.left; x < text.right; ++x)
    if (PixelAt(b.m_hWnd, x, text.top) != b.GetColors().background) ++dotted;
  EXPECT_GT(dotted, (text.right - text.left) / 4);
  SetFocus(AboutPage().GetLink(CAboutPage::kHome).m_hWnd);
  Pump(50);
  EXPECT_FALSE(b.FocusShown());
  EXPECT_TRUE(AboutPage().GetLink(CAboutPage::kHome).FocusShown());
}

TEST_F(AboutTest, LeavingTheTabWhileHoveringReleasesTheCapture) {
  CLinkButton& b = AboutPage().GetLink(CAboutPage::kUpdate);
  Move(b, OnText(b));
  ASSERT_EQ(GetCapture(), b.m_hWnd);
  Select(kGeneral);
  EXPECT_FALSE(b.Hovering());
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
