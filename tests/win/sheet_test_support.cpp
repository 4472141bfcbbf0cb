#include "tests/win/sheet_test_support.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "scene/scene_options.h"

namespace sheet_testing {

void SheetTest::TearDown() { Close(); }

void SheetTest::Open() {
  sheet = std::make_unique<CSettingsSheet>(settings);
  ASSERT_TRUE(sheet->Create());
  Pump();
}

void SheetTest::Pump(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (msg.message == WM_QUIT || !sheet->PumpMessage(false)) return;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

bool SheetTest::PumpUntil(bool (*pred)(SheetTest*), DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!pred(this)) {
    if (GetTickCount() - start > timeoutMs) return pred(this);
    Pump(10);
  }
  return true;
}

void SheetTest::Select(int tab) {
  SendMessageA(sheet->m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  Pump();
}

void SheetTest::Click(HWND button) {
  ASSERT_NE(button, nullptr);
  SendMessageA(button, BM_CLICK, 0, 0);
  Pump();
}

bool SheetTest::ApplyEnabled() const {
  return IsWindowEnabled(GetDlgItem(sheet->m_hWnd, ID_APPLY_NOW)) != FALSE;
}

void SheetTest::Close() {
  if (sheet && sheet->m_hWnd) {
    sheet->DestroyWindow();
    Pump(10);
  }
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

namespace {

uint32_t Crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBig32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out += body;
  PutBig32(out, Crc32(body));
}

}  // namespace

std::string EncodePng(int width, int height, const std::string& rgb) {
  std::string raw;
  const size_t stride = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // no filter
    raw.append(rgb, static_cast<size_t>(y) * stride, stride);
  }
  std::string z = "\x78\x01";
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t pos = 0; pos < raw.size() || pos == 0; pos += 65535) {
    size_t n = std::min<size_t>(65535, raw.size() - pos);
    bool last = pos + n >= raw.size();
    z += static_cast<char>(last ? 1 : 0);
    z += static_cast<char>(n & 0xFF);
    z += static_cast<char>(n >> 8);
    z += static_cast<char>(~n & 0xFF);
    z += static_cast<char>((~n >> 8) & 0xFF);
    z.append(raw, pos, n);
    if (last) break;
  }
  PutBig32(z, (b << 16) | a);
  std::string header;
  PutBig32(header, static_cast<uint32_t>(width));
  PutBig32(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  std::string png = "\x89PNG\r\n\x1a\n";
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  return png;
}

bool SaveWindowPng(HWND hwnd, const std::string& path) {
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BOOL ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::string rgb;
  if (ok) {
    const auto* px = static_cast<const unsigned char*>(bits);
    rgb.reserve(static_cast<size_t>(w) * h * 3);
    for (int i = 0; i < w * h; ++i) {
      rgb += static_cast<char>(px[i * 4 + 2]);
      rgb += static_cast<char>(px[i * 4 + 1]);
      rgb += static_cast<char>(px[i * 4 + 0]);
    }
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  if (!ok) return false;
  std::ofstream out(path, std::ios::binary);
  out << EncodePng(w, h, rgb);
  return static_cast<bool>(out);
}

}  // namespace sheet_testing

namespace sheet_testing {

void ExpectSameSettings(const SceneSettings& expected, const SceneSettings& actual) {
  for (const scene_options::Option& o : scene_options::kOptions)
    EXPECT_TRUE(scene_options::Same(o, expected, actual)) << o.section << "\\" << o.name;
}

SceneSettings EveryFieldChanged() {
  using scene_options::Kind;
  SceneSettings s;
  for (const scene_options::Option& o : scene_options::kOptions) {
    if (o.kind == Kind::Flag) s.*o.flag = !(s.*o.flag);
    // A value the page can show: the top of the range, or the bottom where it starts there.
    if (o.kind == Kind::Number)
      s.*o.number = s.*o.number == o.range.high ? o.range.low : o.range.high;
    if (o.kind == Kind::Text) s.*o.text = std::string("Round %H:%M ") + o.name;
  }
  return s;
}

}  // namespace sheet_testing
