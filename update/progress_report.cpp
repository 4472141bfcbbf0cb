#include "update/progress_report.h"

#include <commctrl.h>

#include "update/messages.h"
#include "update/progress.h"
#include "update/resource.h"

namespace nuvora {

void ReportProgress(HWND dialog, ProgressShown* shown, std::uint32_t receivedKb,
                    std::uint32_t totalKb) {
  if (shown->any && receivedKb == shown->receivedKb && totalKb == shown->totalKb) return;
  *shown = {true, receivedKb, totalKb};
  char pattern[64] = {};
  LoadStringA(ResourceInstance(), IDS_PROGRESS, pattern, sizeof pattern);
  char text[64];
  FormatProgressText(text, sizeof text, pattern, receivedKb, totalKb);
  SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, text);
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, ProgressPercent(receivedKb, totalKb), 0);
}

}  // namespace nuvora
