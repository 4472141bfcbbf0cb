#include "update/progress_report.h"

#include <commctrl.h>

#include <cstdint>

#include "update/progress.h"
#include "update/resource.h"
#include "update/update_state.h"

namespace nuvora {

namespace {

// What the dialog shows now; the timer redraws only on a change.
bool g_shown = false;
std::uint32_t g_shownReceived = 0, g_shownTotal = 0;

}  // namespace

void ResetProgressView() { g_shown = false; }

void ReportProgress(HWND dialog) {
  const std::uint32_t received = g_update.receivedKb;
  const std::uint32_t total = g_update.totalKb;
  if (g_shown && received == g_shownReceived && total == g_shownTotal) return;
  g_shown = true;
  g_shownReceived = received;
  g_shownTotal = total;
  char pattern[64] = {};
  LoadStringA(g_update.instance, IDS_PROGRESS, pattern, sizeof pattern);
  char text[64];
  FormatProgressText(text, sizeof text, pattern, received, total);
  SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, text);
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, ProgressPercent(received, total), 0);
}

}  // namespace nuvora
