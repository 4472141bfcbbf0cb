// Runs the engine with an empty scene in a hidden window and prints frame
// pacing and the render thread's CPU time, once with the waiting loop and once
// with a busy-polling loop for comparison.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "glx/animator.h"

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

  bool busyPoll = false;
  double cpuAtFirstFrame = 0, cpuAtExit = 0;
  std::vector<LONGLONG> stamps;
};

IMPLEMENT_DYNCREATE(EmptyScene, glx::CAnimator)

void Run(const char* name, bool busyPoll, DWORD durationMs) {
  HWND hwnd = CreateWindowExA(0, "STATIC", "bench", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  auto* scene = new EmptyScene;
  scene->busyPoll = busyPoll;
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

}  // namespace

int main(int argc, char** argv) {
  DWORD duration = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10000;
  Run("wait", false, duration);
  Run("busy", true, duration);
  return 0;
}
