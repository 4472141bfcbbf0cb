// Runs the engine with an empty scene and prints frame pacing and the render
// thread's CPU time: at the pace a software renderer gets (this machine's),
// at the pace of a 60 Hz display without swap control (the thread sleeps to
// each refresh step), with a busy-polling loop for comparison, and while the
// display sleeps.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "glx/animator.h"
#include "glx/opengl_wnd.h"

namespace {

double FileTimeMs(const FILETIME& f) {
  ULARGE_INTEGER u;
  u.LowPart = f.dwLowDateTime;
  u.HighPart = f.dwHighDateTime;
  return u.QuadPart / 10000.0;
}

class EmptyScene : public glx::CAnimator {
  DECLARE_DYNCREATE(EmptyScene)
 public:
  void Draw() override {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    if (stamps.empty()) cpuAtFirstFrame = ThreadCpuMs();
    stamps.push_back(t.QuadPart);
  }
  bool ExitGL() override {
    cpuAtExit = ThreadCpuMs();
    return true;
  }
  // Measured on the render thread itself, from its first frame to its end,
  // so that OpenGL set-up does not count.
  static double ThreadCpuMs() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
  }
  void WaitForNextStep() override {
    if (!busyPoll) glx::CAnimator::WaitForNextStep();
  }
  glx::frame_pacing ChoosePacing() override {
    return displayPace ? glx::choose_pacing(false, false, 60.0) : glx::CAnimator::ChoosePacing();
  }
  double CpuMs() const {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(_thread->m_hThread, &created, &ended, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
  }

  bool busyPoll = false;
  bool displayPace = false;
  double cpuAtFirstFrame = 0, cpuAtExit = 0;
  std::vector<LONGLONG> stamps;
};

IMPLEMENT_DYNCREATE(EmptyScene, glx::CAnimator)

void Run(const char* name, bool busyPoll, bool displayPace, DWORD durationMs) {
  HWND hwnd = CreateWindowExA(0, "STATIC", "bench", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  auto* scene = new EmptyScene;
  scene->busyPoll = busyPoll;
  scene->displayPace = displayPace;
  scene->stamps.reserve(durationMs / 20);
  if (!scene->AttachWindow(hwnd)) {
    std::fprintf(stderr, "cannot attach\n");
    std::exit(1);
  }
  scene->SetSize(320, 240);
  scene->StartAnimation();
  scene->Resume();
  Sleep(durationMs);
  scene->Stop(5000);

  double cpuMs = scene->cpuAtExit - scene->cpuAtFirstFrame;

  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  std::vector<double> gaps;
  for (size_t i = 1; i < scene->stamps.size(); ++i)
    gaps.push_back((scene->stamps[i] - scene->stamps[i - 1]) * 1000.0 / freq.QuadPart);
  std::sort(gaps.begin(), gaps.end());
  auto at = [&](double q) { return gaps.empty() ? 0.0 : gaps[size_t(q * (gaps.size() - 1))]; };

  std::printf("engine.%s.frames: %zu frames\n", name, scene->stamps.size());
  std::printf("engine.%s.interval_median: %.2f ms\n", name, at(0.5));
  std::printf("engine.%s.interval_p99: %.2f ms\n", name, at(0.99));
  std::printf("engine.%s.interval_max: %.2f ms\n", name, gaps.empty() ? 0.0 : gaps.back());
  std::printf("engine.%s.cpu_pct: %.1f %%\n", name, 100.0 * cpuMs / durationMs);
  std::fflush(stdout);
  delete scene;
  DestroyWindow(hwnd);
}

// What the system sends its windows when the displays power off (0) or on.
void SendDisplayPower(HWND hwnd, DWORD state) {
  struct {
    GUID setting;  // GUID_CONSOLE_DISPLAY_STATE
    DWORD length;
    DWORD data;
  } note = {{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}},
            sizeof(DWORD),
            state};
  SendMessageA(hwnd, WM_POWERBROADCAST, 0x8013 /* PBT_POWERSETTINGCHANGE */,
               reinterpret_cast<LPARAM>(&note));
}

// The OpenGL window told that the displays went off: frames drawn and the
// render thread's CPU meanwhile.
void RunDisplayOff(DWORD durationMs) {
  EmptyScene* scene = nullptr;
  auto* wnd = new glx::COpenGLWnd;
  wnd->_animatorFactory = [&scene] { return scene = new EmptyScene; };
  RECT rect = {0, 0, 320, 240};
  if (!wnd->Create(0, WS_POPUP, rect, nullptr)) {
    std::fprintf(stderr, "cannot create the window\n");
    std::exit(1);
  }
  HWND hwnd = wnd->m_hWnd;
  wnd->ShowAndAnimate();
  for (DWORD start = GetTickCount(); scene->stamps.size() < 5 && GetTickCount() - start < 10000;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  SendDisplayPower(hwnd, 0);  // returns once the render thread has parked
  const size_t frames = scene->stamps.size();
  const double cpu = scene->CpuMs();
  Sleep(durationMs);
  std::printf("engine.display_off.frames: %zu frames\n", scene->stamps.size() - frames);
  std::printf("engine.display_off.cpu_pct: %.2f %%\n", 100.0 * (scene->CpuMs() - cpu) / durationMs);
  std::fflush(stdout);
  SendDisplayPower(hwnd, 1);
  SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0);
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  DestroyWindow(hwnd);
}

}  // namespace

int main(int argc, char** argv) {
  DWORD duration = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10000;
  Run("wait", false, false, duration);
  Run("display60", false, true, duration);
  Run("busy", true, false, duration);
  RunDisplayOff(duration);
  return 0;
}
