// The OpenGL page against the real Mesa driver of the test machine.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "settings/gl_extensions.h"
#include "settings/settings_ids.h"
#include "tests/win/sheet_test_support.h"

namespace {

using namespace sheet_testing;
using gl_extensions::Record;

class GLPageTest : public SheetTest {
 protected:
  void OpenGLPage() {
    Open();
    Select(kOpenGL);
    list = Item(GLPage(), IDC_GL_EXTENSIONS);
  }
  std::string Cell(int item, int column) {
    char text[512] = {};
    LVITEMA it = {};
    it.iSubItem = column;
    it.pszText = text;
    it.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&it));
    return text;
  }
  LPARAM ItemData(int item) {
    LVITEMA it = {};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return it.lParam;
  }
  const Record& At(int item) { return *reinterpret_cast<const Record*>(ItemData(item)); }
  void ClickColumn(int column) {
    NMLISTVIEW nm = {};
    nm.hdr.hwndFrom = list;
    nm.hdr.idFrom = IDC_GL_EXTENSIONS;
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iItem = -1;
    nm.iSubItem = column;
    SendMessageA(GLPage().m_hWnd, WM_NOTIFY, IDC_GL_EXTENSIONS, reinterpret_cast<LPARAM>(&nm));
    Pump(10);
  }
  // Every neighbour pair in the order of Compare for this column and direction.
  void ExpectOrdered(int column, bool ascending) {
    int n = ListView_GetItemCount(list);
    for (int i = 0; i + 1 < n; ++i)
      ASSERT_LE(gl_extensions::Compare(At(i), At(i + 1), column, ascending), 0)
          << i << ": '" << At(i).name << "'/" << At(i).type << " before '" << At(i + 1).name << "'/"
          << At(i + 1).type;
  }
  HWND list = nullptr;
};

TEST_F(GLPageTest, ShowsTheDriverStringsAndOneItemPerExtension) {
  OpenGLPage();
  char text[256] = {};
  GetDlgItemTextA(GLPage().m_hWnd, IDC_GL_VENDOR, text, sizeof text);
  EXPECT_NE(std::string(text).find("Mesa"), std::string::npos) << text;
  GetDlgItemTextA(GLPage().m_hWnd, IDC_GL_RENDERER, text, sizeof text);
  EXPECT_NE(std::string(text).find("llvmpipe"), std::string::npos) << text;
  GetDlgItemTextA(GLPage().m_hWnd, IDC_GL_VERSION, text, sizeof text);
  EXPECT_NE(std::string(text).find("Mesa"), std::string::npos) << text;

  auto parsed = gl_extensions::Parse(GLPage().Extensions());
  ASSERT_GT(parsed.size(), 20u);
  int n = ListView_GetItemCount(list);
  ASSERT_EQ(n, static_cast<int>(parsed.size()));
  bool sawArb = false;
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(Cell(i, 0), At(i).name);
    EXPECT_EQ(Cell(i, 1), At(i).type);
    if (At(i).name == " multitexture" && At(i).type == "ARB") sawArb = true;
  }
  EXPECT_TRUE(sawArb);  // GL_ARB_multitexture
}

TEST_F(GLPageTest, ColumnClicksSortByNameOrTypeAndFlipTheDirection) {
  OpenGLPage();
  ASSERT_GT(ListView_GetItemCount(list), 20);
  ClickColumn(0);  // already sorted by name: the first click turns it round
  ExpectOrdered(0, false);
  ClickColumn(1);
  ExpectOrdered(1, true);
  ClickColumn(1);
  ExpectOrdered(1, false);
  ClickColumn(0);
  ExpectOrdered(0, true);
}

}  // namespace
