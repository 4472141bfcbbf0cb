#include "update/dialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include "framework/scaled_icon.h"
#include "update/file_name.h"
#include "update/messages.h"
#include "update/progress.h"
#include "update/progress_report.h"
#include "update/resource.h"
#include "update/save_folder.h"

namespace nuvora {

namespace {

// The download dialog redraws its progress on its own thread at about ten
// frames a second, never per block; the same timer watches for a stalled server.
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriodMs = 100;
constexpr UINT_PTR kWatchTimer = 2;
constexpr UINT kWatchPeriodMs = 250;

// What a transfer dialog keeps while it runs.
struct TransferView {
  std::vector<std::shared_ptr<TransferJob>> jobs;  // run one after another
  std::size_t current = 0;
  // The worker's outcome arrived while the stop question was open; acted on when it closes.
  bool asking = false;
  bool lateOutcome = false;
  ProgressShown shown;
  std::string appName;
  std::uint32_t totalKb = 0;

  TransferJob& Job() { return *jobs[current]; }
};

struct InformationView {
  const Offer* offer;
  std::optional<Choice> choice;
};

// The state a dialog was started with, kept in its DWLP_USER from WM_INITDIALOG on.
template <typename View>
View* ViewOf(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  return reinterpret_cast<View*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void Prepare(HWND dialog) {
  auto icon = LoadIconA(ResourceInstance(), MAKEINTRESOURCEA(IDI_NUVORA));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  AfxScaleDialogIcons(dialog, ResourceInstance(), IDI_NUVORA);
}

void ShowString(HWND dialog, int control, UINT id) {
  char text[256] = {};
  LoadStringA(ResourceInstance(), id, text, sizeof text);
  SetDlgItemTextA(dialog, control, text);
}

// The current worker has its result: the next transfer starts when this one
// succeeded, else the dialog ends.
void Advance(HWND dialog, TransferView* view) {
  view->lateOutcome = false;
  if (view->Job().Result().IsDone() && view->current + 1 < view->jobs.size()) {
    ++view->current;
    view->Job().Start(dialog);
  } else {
    EndDialog(dialog, 0);
  }
}

// WM_NUVORA_OUTCOME: any window can post it, so only the worker's own result counts.
void OnTransferOutcome(HWND dialog, TransferView* view) {
  if (!view->Job().Finished()) return;
  if (view->asking)
    view->lateOutcome = true;
  else
    Advance(dialog, view);
}

// A server that stopped answering ends the dialog; not while the user is asked.
void WatchForStall(HWND dialog, TransferView* view) {
  if (!view->asking && view->Job().GiveUpIfStalled(GetTickCount())) EndDialog(dialog, 0);
}

// Asks message 13; on Yes stops the transfer and ends the dialog.
bool ConfirmStop(HWND dialog, TransferView* view) {
  view->asking = true;
  const bool stop = ShowMessage(IDS_STOP_QUESTION, MB_YESNO, dialog) == IDYES;
  view->asking = false;
  if (stop) {
    view->Job().Stop();
    EndDialog(dialog, 0);
  }
  return stop;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    Prepare(dialog);
    MessageBeep(MB_ICONASTERISK);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK ConnectingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = ViewOf<TransferView>(dialog, message, lParam);
  if (!view) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      Prepare(dialog);
      ShowString(dialog, IDC_STATUS, IDS_CONNECTING);
      SetTimer(dialog, kWatchTimer, kWatchPeriodMs, nullptr);
      view->Job().Start(dialog);
      return TRUE;
    case WM_NUVORA_OUTCOME:
      OnTransferOutcome(dialog, view);
      return TRUE;
    case WM_TIMER:
      if (wParam != kWatchTimer) return FALSE;
      WatchForStall(dialog, view);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kWatchTimer);
      return FALSE;
    case WM_NUVORA_LOADING:
      ShowString(dialog, IDC_STATUS, IDS_LOADING);
      return TRUE;
    case WM_COMMAND:
      break;
    default:
      return FALSE;
  }
  // Enter and Escape both mean Cancel here: nothing but the worker reports an end.
  const int command = LOWORD(wParam);
  if (command != IDCANCEL && command != IDOK) return FALSE;
  // The worker parks itself at its next read while the user decides.
  view->Job().Pause();
  if (!ConfirmStop(dialog, view)) {
    view->Job().Resume();
    if (view->lateOutcome) Advance(dialog, view);
  }
  return TRUE;
}

bool AskTargetFile(HWND dialog, const std::string& proposal, std::string* target) {
  char file[MAX_PATH] = {};
  if (proposal.size() < sizeof file) proposal.copy(file, proposal.size());
  OPENFILENAMEA ofn = {};
  // The record without the Windows 2000 extension (76 bytes in the 32-bit build).
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = dialog;
  ofn.hInstance = ResourceInstance();
  ofn.lpstrFilter = "All Files\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = kAgent;
  char folder[MAX_PATH] = {};
  if (DefaultSaveFolder(folder, sizeof folder)) ofn.lpstrInitialDir = folder;
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
              OFN_ENABLESIZING;
  if (!GetSaveFileNameA(&ofn)) return false;
  *target = file;
  return true;
}

void ShowOffer(HWND dialog, const Offer& offer) {
  char notAvailable[64] = {};
  LoadStringA(ResourceInstance(), IDS_NOT_AVAILABLE, notAvailable, sizeof notAvailable);
  auto show = [&](int control, const std::optional<std::string>& value) {
    SetDlgItemTextA(dialog, control, value ? value->c_str() : notAvailable);
  };
  show(IDC_APPNAME, offer.appName);
  show(IDC_VERSION, offer.version);
  show(IDC_PRICE, offer.price);
  show(IDC_SIZE_FIELD, offer.size);
  for (const auto& language : offer.languages) {
    const char* name = language ? language->c_str() : notAvailable;
    SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_SETCURSEL, 0, 0);
}

INT_PTR CALLBACK InformationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = ViewOf<InformationView>(dialog, message, lParam);
  if (!view) return FALSE;
  if (message == WM_INITDIALOG) {
    Prepare(dialog);
    ShowOffer(dialog, *view->offer);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == IDOK) {
    Choice choice;
    choice.selection =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_GETCURSEL, 0, 0));
    const Download& download = view->offer->DownloadFor(choice.selection);
    // The feed proposes a name only; the folder is the user's choice.
    const std::string proposal = ProposedFileName(download.fileName, download.url);
    if (AskTargetFile(dialog, proposal, &choice.target)) {
      view->choice = choice;
      EndDialog(dialog, IDOK);
    }
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK DownloadProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = ViewOf<TransferView>(dialog, message, lParam);
  if (!view) return FALSE;
  switch (message) {
    case WM_INITDIALOG: {
      Prepare(dialog);
      SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, 0, 0);
      char pattern[64] = {}, caption[256];
      LoadStringA(ResourceInstance(), IDS_DOWNLOADING, pattern, sizeof pattern);
      FormatCaption(caption, sizeof caption, pattern, view->appName.c_str());
      SetDlgItemTextA(dialog, IDC_CAPTION, caption);
      ReportProgress(dialog, &view->shown, view->Job().ReceivedKb(), view->totalKb);
      SetTimer(dialog, kProgressTimer, kProgressPeriodMs, nullptr);
      view->Job().Start(dialog);
      return TRUE;
    }
    case WM_TIMER:
      if (wParam != kProgressTimer) return FALSE;
      ReportProgress(dialog, &view->shown, view->Job().ReceivedKb(), view->totalKb);
      WatchForStall(dialog, view);
      return TRUE;
    case WM_NUVORA_OUTCOME:
      // Once more at the end, so that the last figures shown are exact.
      ReportProgress(dialog, &view->shown, view->Job().ReceivedKb(), view->totalKb);
      OnTransferOutcome(dialog, view);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kProgressTimer);
      return FALSE;
    case WM_COMMAND:
      break;
    default:
      return FALSE;
  }
  // Enter and Escape act as the Cancel button: command 1 is the dialog manager's
  // default-button command, never a finished download.
  const int command = LOWORD(wParam);
  if (command != IDCANCEL && command != IDOK) return FALSE;
  // The download goes on while the user decides.
  if (!ConfirmStop(dialog, view) && view->lateOutcome) Advance(dialog, view);
  return TRUE;
}

INT_PTR Run(int id, DLGPROC proc, void* view) {
  return DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(id), nullptr, proc,
                         reinterpret_cast<LPARAM>(view));
}

}  // namespace

void RunAboutBox() { Run(IDD_ABOUT, AboutProc, nullptr); }

void RunConnectingDialog(const std::vector<std::shared_ptr<TransferJob>>& jobs) {
  TransferView view;
  view.jobs = jobs;
  Run(IDD_CONNECTING, ConnectingProc, &view);
}

std::optional<Choice> RunInformationDialog(const Offer& offer) {
  InformationView view{&offer, std::nullopt};
  Run(IDD_INFO, InformationProc, &view);
  return view.choice;
}

void RunDownloadDialog(const std::shared_ptr<TransferJob>& job, const std::string& appName,
                       std::uint32_t totalKb) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  TransferView view;
  view.jobs = {job};
  view.appName = appName;
  view.totalKb = totalKb;
  Run(IDD_DOWNLOAD, DownloadProc, &view);
}

}  // namespace nuvora
