#include "settings/gl_page.h"

#include <GL/gl.h>

#include "framework/app.h"
#include "settings/settings_ids.h"

IMPLEMENT_DYNCREATE(CGLPage, CPropertyPage)

namespace {

struct SortState {
  int column;
  bool ascending;
};

int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM state) {
  const auto* sort = reinterpret_cast<const SortState*>(state);
  return gl_extensions::Compare(*reinterpret_cast<const gl_extensions::Record*>(a),
                                *reinterpret_cast<const gl_extensions::Record*>(b), sort->column,
                                sort->ascending);
}

std::string GlString(GLenum name) {
  const GLubyte* s = glGetString(name);
  return s ? reinterpret_cast<const char*>(s) : std::string();
}

}  // namespace

CGLPage::CGLPage() : CPropertyPage(IDD_GL_PAGE) {}

CGLPage::~CGLPage() = default;

void CGLPage::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_GL_EXTENSIONS, _list);
  DDX_Text(dx, IDC_GL_RENDERER, _renderer);
  DDX_Text(dx, IDC_GL_VENDOR, _vendor);
  DDX_Text(dx, IDC_GL_VERSION, _version);
}

BOOL CGLPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  QueryOpenGL();
  FillList();
  UpdateData(FALSE);
  return TRUE;
}

void CGLPage::QueryOpenGL() {
  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  // The pixel format goes to a hidden child of the page, not to the page: under
  // Wine a window with a pixel format is shown through an OpenGL surface that
  // hides the GDI painting of the page and its controls.
  HWND target = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 1, 1,
                                m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
  if (!target) target = m_hWnd;
  HDC dc = ::GetDC(target);
  int count = DescribePixelFormat(dc, 0, sizeof pfd, &pfd);
  // Some drivers answer format 0 with nothing; asking without a record counts too.
  if (count <= 0) count = DescribePixelFormat(dc, 1, sizeof pfd, nullptr);
  bool chosen = false;
  for (int i = 1; i <= count && !chosen; ++i) {
    DescribePixelFormat(dc, i, sizeof pfd, &pfd);
    chosen = SetPixelFormat(dc, i, &pfd) != FALSE;
  }
  if (!chosen) {
    ::ReleaseDC(target, dc);
    return;
  }
  HGLRC rc = wglCreateContext(dc);
  if (rc && wglMakeCurrent(dc, rc)) {
    _renderer = GlString(GL_RENDERER);
    _vendor = GlString(GL_VENDOR);
    _version = GlString(GL_VERSION);
    _extensions = GlString(GL_EXTENSIONS);
    wglMakeCurrent(nullptr, nullptr);
  } else {
    _renderer = AfxLoadString(IDS_NOT_AVAILABLE);
    _version = _vendor = _renderer;
  }
  ::ReleaseDC(target, dc);
  if (rc) wglDeleteContext(rc);
}

void CGLPage::FillList() {
  _list.InsertColumn(0, "Extension", LVCFMT_LEFT, 200);
  _list.InsertColumn(1, "Type", LVCFMT_LEFT, 50);
  if (_extensions.empty()) return;
  _records = gl_extensions::Parse(_extensions);  // never changed while the list shows them
  for (const gl_extensions::Record& r : _records) {
    // The list is sorted by item text, so it places each item itself.
    int item = _list.InsertItem(_list.GetItemCount(), r.name.c_str());
    if (item < 0) continue;
    _list.SetItemText(item, 1, r.type.c_str());
    _list.SetItemData(item, reinterpret_cast<DWORD_PTR>(&r));
  }
}

void CGLPage::SortBy(int column) {
  if (column == _sortColumn) {
    _ascending = !_ascending;
  } else {
    _sortColumn = column;
    _ascending = 1;
  }
  SortState state = {_sortColumn, _ascending != 0};
  _list.SortItems(CompareItems, reinterpret_cast<DWORD_PTR>(&state));
}

BOOL CGLPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  if (hdr->idFrom == IDC_GL_EXTENSIONS && hdr->code == LVN_COLUMNCLICK) {
    SortBy(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
    *result = 0;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
