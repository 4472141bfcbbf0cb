// Runs the Verivir scene in a real window and prints the time from Resume to
// the first drawn frame (text on and off), the median cost of drawing one
// frame with display lists on and off, with one and with two monitor
// viewports, the frame intervals and the render thread's CPU at the scene's
// own pace with the process's CPU, and the peak working set; and, without a window, how far the
// scene's motion at 144 frames a second strays from its motion at 31 ms.
#include <windows.h>
#include <GL/gl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "glx/frame_pacing.h"
#include "glx/opengl_wnd.h"
#include "scene/color_channel.h"
#include "scene/scene_motion.h"
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

std::atomic<LONGLONG> g_initMs100{0};      // InitGL time in 1/100 ms
std::vector<LONGLONG> g_starts;            // when each frame began
double g_cpuAtFirst = 0, g_cpuAtExit = 0;  // the process, ms

// The whole process: llvmpipe rasterises on threads of its own.
double ProcessCpuMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  ULARGE_INTEGER k, u;
  k.LowPart = kernel.dwLowDateTime;
  k.HighPart = kernel.dwHighDateTime;
  u.LowPart = user.dwLowDateTime;
  u.HighPart = user.dwHighDateTime;
  return (k.QuadPart + u.QuadPart) / 10000.0;
}

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
  bool ExitGL() override {
    g_cpuAtExit = ProcessCpuMs();
    return ZAzozeru::ExitGL();
  }
  void RenderFrame() override {
    LONGLONG start = Ticks();
    if (g_frames == 0) g_cpuAtFirst = ProcessCpuMs();
    if (g_frames < g_wanted) g_starts.push_back(start);
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
  g_starts.clear();
  g_starts.reserve(frames);
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

double Percentile(std::vector<double> v, double q) {
  if (v.empty()) return -1.0;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(q * (v.size() - 1))];
}

// The scene's moving state as the scene advances it: the phase and the
// colour channels of both spheres and the ring, a whole step at a time.
struct Motion {
  glx::frame_clock clock;
  SceneMotion motion;
  ColorChannel channels[3][4];
  Motion() {
    SetupChannels(CyclerKind::BigSphere, channels[0]);
    SetupChannels(CyclerKind::SmallSphere, channels[1]);
    SetupChannels(CyclerKind::TextRing, channels[2]);
  }
  void FrameAt(double ms) {
    for (int n = motion.Advance(clock.ticks(ms)); n > 0; --n)
      for (auto& set : channels)
        for (int c = 0; c < 3; ++c) set[c].Advance();
  }
};

// Ten seconds of a 144 Hz clock against ten of the 31 ms one, compared where
// both draw a frame (every 3875 ms): the phase's relative error, and the
// colour channels that differ.
void MotionSpeedError() {
  Motion fast, old;
  double error = 0.0;
  int mismatches = 0;
  int fastFrames = 0;
  for (int k = 1; 31 * k <= 10000; ++k) {
    old.FrameAt(31.0 * k);
    while ((fastFrames + 1) * 1000.0 / 144.0 <= 31.0 * k + 1e-9)
      fast.FrameAt(++fastFrames * 1000.0 / 144.0);
    if (k % 125 != 0) continue;
    error = std::max(error, std::fabs(fast.motion.Phase() / old.motion.Phase() - 1.0));
    for (int o = 0; o < 3; ++o)
      for (int c = 0; c < 3; ++c)
        mismatches += fast.channels[o][c].value.get() != old.channels[o][c].value.get();
  }
  std::printf("scene.motion.speed_error: %.2g\n", error);
  std::printf("scene.motion.colour_mismatches: %d\n", mismatches);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 150;
  MotionSpeedError();
  // Text on and off in turns, so that a busy moment of the machine weighs on
  // both alike; the first run of a process loads the driver and is left out.
  const int runs = 11;
  RunScene(1);
  std::vector<double> firsts[2], inits[2];
  for (int i = 0; i < runs; ++i) {
    for (int text : {1, 0}) {
      g_settings = SceneSettings();
      g_settings.textShow = text != 0;
      firsts[text].push_back(RunScene(1));
      inits[text].push_back(g_initMs100 / 100.0);
    }
  }
  for (int text : {1, 0}) {
    const char* name = text ? "text_on" : "text_off";
    std::printf("scene.first_frame.%s: %.1f ms\n", name, Median(firsts[text]));
    std::printf("scene.init_gl.%s: %.1f ms\n", name, Median(inits[text]));
  }
  std::fflush(stdout);
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
  {
    // About ten seconds at the scene's own pace, with the text.
    g_settings = SceneSettings();
    RunScene(2 * frames);
    std::vector<double> gaps;
    for (size_t i = 1; i < g_starts.size(); ++i) gaps.push_back(Ms(g_starts[i] - g_starts[i - 1]));
    const double span = g_starts.size() > 1 ? Ms(g_starts.back() - g_starts.front()) : 0.0;
    std::printf("scene.interval_median: %.2f ms\n", Median(gaps));
    std::printf("scene.interval_p99: %.2f ms\n", Percentile(gaps, 0.99));
    std::printf("scene.cpu_pct: %.1f %%\n",
                span > 0 ? 100.0 * (g_cpuAtExit - g_cpuAtFirst) / span : -1.0);
    std::printf("scene.cpu_per_frame: %.2f ms\n", (g_cpuAtExit - g_cpuAtFirst) / g_frames);
    std::fflush(stdout);
  }
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  std::printf("scene.peak_working_set: %.1f MB\n", pmc.PeakWorkingSetSize / (1024.0 * 1024.0));
  return 0;
}
