#include "update/dialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include "update/messages.h"
#include "update/progress.h"
#include "update/progress_report.h"
#include "update/resource.h"
#include "update/save_folder.h"
#include "update/transfer.h"
#include "update/transfer_pause.h"
#include "update/update_file.h"
#include "update/update_state.h"

namespace nuvora {

namespace {

// A transfer's outcome that arrived while the stop question was open; acted on
// when the question closes. One transfer dialog runs at a time.
bool g_asking = false;
int g_lateOutcome = 0;  // 0 none, else the dialog's end code (1 done, 2 failed)

// The download dialog redraws its progress on its own thread at about ten
// frames a second, never per block.
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriodMs = 100;

void Prepare(HWND dialog) {
  auto icon = LoadIconA(g_update.instance, MAKEINTRESOURCEA(IDI_NUVORA));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  g_asking = false;
  g_lateOutcome = 0;
}

// The transfer thread's outcome (wParam 1 done, 0 failed).
void OnTransferOutcome(HWND dialog, WPARAM done) {
  const int code = done ? 1 : 2;
  if (g_asking)
    g_lateOutcome = code;
  else
    EndDialog(dialog, code);
}

// Asks message 13; on Yes stops the transfer and ends the dialog.
bool ConfirmStop(HWND dialog) {
  g_asking = true;
  const bool stop = ShowMessage(IDS_STOP_QUESTION, MB_YESNO, dialog) == IDYES;
  g_asking = false;
  if (stop) {
    CancelTransfer();
    EndDialog(dialog, 2);
  }
  return stop;
}

void StartOrFail(TransferKind kind, HWND dialog, LONG error) {
  if (!StartTransfer(kind, dialog)) {
    // No thread, no transfer: report it like a failed open.
    g_update.pendingError = error;
    PostMessageA(dialog, WM_NUVORA_OUTCOME, 0, 0);
  }
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

INT_PTR CALLBACK ConnectingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    Prepare(dialog);
    char text[256] = {};
    LoadStringA(g_update.instance, IDS_CONNECTING, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_STATUS, text);
    StartOrFail(TransferKind::Configuration, dialog, IDS_NO_CONNECTION);
    return TRUE;
  }
  if (message == WM_NUVORA_OUTCOME) {
    OnTransferOutcome(dialog, wParam);
    return TRUE;
  }
  if (message == WM_NUVORA_LOADING) {
    char text[256] = {};
    LoadStringA(g_update.instance, IDS_LOADING, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_STATUS, text);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  // Enter and Escape both mean Cancel here: nothing but the thread reports an end.
  const int command = LOWORD(wParam);
  if (command == IDCANCEL || command == IDOK) {
    // The thread parks itself at its next read while the user decides.
    RequestTransferPause();
    ConfirmStop(dialog);
    // No lets it go on; after Yes it wakes to find the stop and ends.
    ReleaseTransferPause();
    if (!g_update.cancelled && g_lateOutcome) EndDialog(dialog, g_lateOutcome);
    return TRUE;
  }
  return FALSE;
}

bool AskTargetFile(HWND dialog) {
  OPENFILENAMEA ofn = {};
  // The record without the Windows 2000 extension (76 bytes in the 32-bit build).
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = dialog;
  ofn.hInstance = g_update.instance;
  ofn.lpstrFilter = "All Files\0*.*\0";
  ofn.lpstrFile = g_update.targetFile;
  ofn.nMaxFile = sizeof g_update.targetFile;
  ofn.lpstrTitle = kAgent;
  char folder[MAX_PATH] = {};
  if (DefaultSaveFolder(folder, sizeof folder)) ofn.lpstrInitialDir = folder;
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
              OFN_ENABLESIZING;
  return GetSaveFileNameA(&ofn) != FALSE;
}

INT_PTR CALLBACK InformationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    Prepare(dialog);
    ReadProductInfo(dialog);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == IDOK) {
    auto selection = SendDlgItemMessageA(dialog, IDC_LANGUAGES, CB_GETCURSEL, 0, 0);
    ReadDownloadChoice(static_cast<int>(selection));
    if (AskTargetFile(dialog)) EndDialog(dialog, 1);
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, 2);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK DownloadProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    Prepare(dialog);
    ReadDownloadSize();
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    char pattern[64] = {}, appName[128], caption[256];
    LoadStringA(g_update.instance, IDS_DOWNLOADING, pattern, sizeof pattern);
    ReadAppNameForCaption(appName);
    FormatCaption(caption, sizeof caption, pattern, appName);
    SetDlgItemTextA(dialog, IDC_CAPTION, caption);
    ResetProgressView();
    ReportProgress(dialog);
    SetTimer(dialog, kProgressTimer, kProgressPeriodMs, nullptr);
    StartOrFail(TransferKind::Installer, dialog, IDS_CANNOT_OPEN_URL);
    return TRUE;
  }
  if (message == WM_TIMER && wParam == kProgressTimer) {
    ReportProgress(dialog);
    return TRUE;
  }
  if (message == WM_NUVORA_OUTCOME) {
    // Once more at the end, so that the last figures shown are exact.
    ReportProgress(dialog);
    OnTransferOutcome(dialog, wParam);
    return TRUE;
  }
  if (message == WM_DESTROY) {
    KillTimer(dialog, kProgressTimer);
    return FALSE;
  }
  if (message != WM_COMMAND) return FALSE;
  // Enter and Escape act as the Cancel button: command 1 is the dialog manager's
  // default-button command, never a finished download.
  const int command = LOWORD(wParam);
  if (command == IDCANCEL || command == IDOK) {
    // The download goes on while the user decides.
    if (!ConfirmStop(dialog) && g_lateOutcome) EndDialog(dialog, g_lateOutcome);
    return TRUE;
  }
  return FALSE;
}

INT_PTR Run(int id, DLGPROC proc) {
  return DialogBoxParamA(g_update.instance, MAKEINTRESOURCEA(id), nullptr, proc, 0);
}

}  // namespace

INT_PTR RunAboutBox() { return Run(IDD_ABOUT, AboutProc); }
INT_PTR RunConnectingDialog() { return Run(IDD_CONNECTING, ConnectingProc); }
INT_PTR RunInformationDialog() { return Run(IDD_INFO, InformationProc); }

INT_PTR RunDownloadDialog() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  return Run(IDD_DOWNLOAD, DownloadProc);
}

}  // namespace nuvora
