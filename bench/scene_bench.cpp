// Runs the Verivir scene in a real window and prints the time from Resume to
// the first drawn frame (text on and off), the median cost of drawing one
// frame with display lists on and off, with one and with two monitor
// viewports, and the peak working set.
#include <windows.h>
#include <GL/gl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "glx/opengl_wnd.h"
#include "scene/zazozeru.h"

namespace {

SceneSettings g_settings;  // the next scene's settings

double Ms(LONGLONG ticks) {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return ticks * 1000.0 / freq.QuadPart;
}

LONGLONG Ticks() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

std::atomic<LONGLONG> g_firstFrame{0};
std::vector<double> g_frameMs;
std::atomic<int> g_frames{0};
int g_wanted = 0;

std::atomic<LONGLONG> g_initMs100{0};  // InitGL time in 1/100 ms

class BenchScene : public ZAzozeru {
 public:
  using ZAzozeru::ZAzozeru;
  bool InitGL() override {
    LONGLONG start = Ticks();
    bool ok = ZAzozeru::InitGL();
    g_initMs100 = static_cast<LONGLONG>(Ms(Ticks() - start) * 100);
    return ok;
  }
  // The drawing cost: clear, view, the three objects, swap, and the wait
  // until the GPU (here llvmpipe) has finished.
  void RenderFrame() override {
    LONGLONG start = Ticks();
    ZAzozeru::RenderFrame();
    glFinish();
    LONGLONG end = Ticks();
    if (!g_firstFrame) g_firstFrame = end;
    if (g_frames < g_wanted) g_frameMs.push_back(Ms(end - start));
    ++g_frames;
  }
};

// Runs one scene until `frames` were drawn; returns ms from Resume to the first.
// Either one picture over a 640x480 window, or one 512x384 picture per
// monitor side by side, as the saver draws on two monitors.
double RunScene(int frames, int monitors = 0) {
  g_firstFrame = 0;
  g_frames = 0;
  g_wanted = frames;
  g_frameMs.clear();
  g_frameMs.reserve(frames);
  auto* wnd = new glx::COpenGLWnd;
  wnd->_animatorFactory = [] { return new BenchScene(g_settings); };
  RECT rect = {0, 0, 640, 480};
  std::vector<glx::gl_viewport> views;
  if (monitors > 0) {
    rect = {0, 0, 512 * monitors, 384};
    for (int i = 0; i < monitors; ++i) views.push_back({512 * i, 0, 512, 384});
  }
  if (!wnd->Create(0, WS_POPUP, rect, nullptr)) {
    std::fprintf(stderr, "scene_bench: cannot create the window\n");
    std::exit(1);
  }
  wnd->_animator->SetViewports(views);
  HWND hwnd = wnd->m_hWnd;
  LONGLONG resumed = Ticks();
  wnd->ShowAndAnimate();
  DWORD start = GetTickCount();
  while (g_frames < frames && GetTickCount() - start < 60000) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
  double first = g_firstFrame ? Ms(g_firstFrame - resumed) : -1.0;
  SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0);
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  DestroyWindow(hwnd);
  return first;
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1.0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 150;
  const int runs = 5;
  for (bool text : {true, false}) {
    std::vector<double> firsts, inits;
    for (int i = 0; i < runs; ++i) {
      g_settings = SceneSettings();
      g_settings.textShow = text;
      firsts.push_back(RunScene(1));
      inits.push_back(g_initMs100 / 100.0);
    }
    const char* name = text ? "text_on" : "text_off";
    std::printf("scene.first_frame.%s: %.1f ms\n", name, Median(firsts));
    std::printf("scene.init_gl.%s: %.1f ms\n", name, Median(inits));
    std::fflush(stdout);
  }
  for (bool lists : {true, false}) {
    g_settings = SceneSettings();
    g_settings.displayLists = lists;
    RunScene(frames);
    std::printf("scene.frame.%s: %.2f ms\n", lists ? "lists_on" : "lists_off", Median(g_frameMs));
    std::fflush(stdout);
  }
  for (int monitors : {1, 2}) {
    g_settings = SceneSettings();
    RunScene(frames, monitors);
    std::printf("scene.frame.viewports_%d: %.2f ms\n", monitors, Median(g_frameMs));
    std::fflush(stdout);
  }
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  std::printf("scene.peak_working_set: %.1f MB\n", pmc.PeakWorkingSetSize / (1024.0 * 1024.0));
  return 0;
}
