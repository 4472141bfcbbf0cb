#include "update/progress_report.h"

#include <commctrl.h>

#include "update/progress.h"
#include "update/resource.h"
#include "update/update_state.h"

namespace nuvora {

void ReportProgress(HWND dialog) {
  const std::uint32_t received = g_update.receivedKb;
  const std::uint32_t total = g_update.totalKb;
  char pattern[64] = {};
  LoadStringA(g_update.instance, IDS_PROGRESS, pattern, sizeof pattern);
  char text[64];
  FormatProgressText(text, sizeof text, pattern, received, total);
  SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, text);
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, ProgressPercent(received, total), 0);
}

}  // namespace nuvora
