// Nuvora: checks the maker's server for a newer release, shows it, downloads
// the installer and offers to run it.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "update/command_line.h"
#include "update/dialogs.h"
#include "update/file_name.h"
#include "update/messages.h"
#include "update/resource.h"
#include "update/single_instance.h"
#include "update/transfer_pause.h"
#include "update/update_file.h"
#include "update/update_state.h"
#include "update/version_rule.h"

using namespace nuvora;

namespace {

void ApplyCommandLine(const CommandLine& line) {
  std::strcpy(g_update.product, line.product);
  g_update.installedMajor = line.major;
  g_update.installedMinor = line.minor;
  std::strcpy(g_update.configUrl, line.url[0] ? line.url : kDefaultConfigUrl);
}

// Temporary copy of the update description file; -1 on failure, else 0.
int CreateTemporaryFile() {
  char dir[MAX_PATH];
  DWORD len = GetTempPathA(sizeof dir, dir);
  if (len == 0 || len >= sizeof dir) std::strcpy(dir, ".");
  // Unique number 0: the system picks a free name and creates the file, so two
  // runs never share one.
  if (GetTempFileNameA(dir, kAgent, 0, g_update.tempFile) == 0) return -1;
  g_update.output = CreateFileA(g_update.tempFile, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
  return g_update.output == INVALID_HANDLE_VALUE ? -1 : 0;
}

// The download goes into a new file beside the target, so that a failed or
// stopped download leaves an existing file as it was.
bool CreatePartialFile() {
  char folder[MAX_PATH];
  std::strcpy(folder, g_update.targetFile);
  char* cut = std::strrchr(folder, '\\');
  if (char* slash = std::strrchr(folder, '/'); slash > cut) cut = slash;
  if (cut)
    cut[1] = '\0';
  else
    std::strcpy(folder, ".");
  if (GetTempFileNameA(folder, kAgent, 0, g_update.partialFile) == 0) return false;
  g_update.output = CreateFileA(g_update.partialFile, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (g_update.output != INVALID_HANDLE_VALUE) return true;
  DeleteFileA(g_update.partialFile);
  return false;
}

void OfferToRun() {
  if (ShowMessage(IDS_INSTALL_QUESTION, MB_YESNO) != IDYES) return;
  if (IsStartableInstaller(g_update.targetFile))
    ShellExecuteA(nullptr, nullptr, g_update.targetFile, nullptr, nullptr, SW_SHOWNORMAL);
  else
    ShowMessage(IDS_NOT_STARTED, MB_OK);
}

void DownloadChosenInstaller() {
  if (g_update.downloadUrl[0] == '\0' || g_update.checksum == UpdateState::Checksum::Malformed) {
    ShowMessage(IDS_CORRUPT_FILE, MB_OK);
    return;
  }
  if (g_update.targetFile[0] == '\0') return;
  if (!CreatePartialFile()) {
    g_update.pendingError = IDS_CANNOT_WRITE;
    return;
  }
  const bool done = RunDownloadDialog() == 1;
  // A stopped download's thread ends soon after its handles are closed; give it a
  // moment so that it never writes into a file handle closed under it.
  WaitForSingleObject(g_update.worker, done ? INFINITE : 5000);
  CloseFileHandle(&g_update.output);
  if (!done) {
    DeleteFileA(g_update.partialFile);
    return;
  }
  if (!MoveFileExA(g_update.partialFile, g_update.targetFile,
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(g_update.partialFile);
    g_update.pendingError = IDS_CANNOT_WRITE;
    return;
  }
  OfferToRun();
}

void CheckForUpdate() {
  if (RunConnectingDialog() != 1) return;
  CloseFileHandle(&g_update.output);
  CloseWorkerHandle();
  std::uint32_t major = 0, minor = 0;
  ReadLatestVersion(&major, &minor);
  if (!IsNewerVersion(major, minor, g_update.installedMajor, g_update.installedMinor)) {
    ShowMessage(IDS_NO_NEWER, MB_OK);
    return;
  }
  if (RunInformationDialog() == 1) DownloadChosenInstaller();
}

void CleanUp() {
  CloseRequestHandle();
  CloseInternetHandle();
  CloseFileHandle(&g_update.output);
  CloseWorkerHandle();
  DeleteFileA(g_update.tempFile);
  const LONG error = g_update.pendingError;
  if (error != 0 && !g_update.cancelled) ShowMessage(static_cast<UINT>(error), MB_OK);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  g_update.instance = instance;
  CommandLine line;
  if (!ParseCommandLine(commandLine, &line)) {
    RunAboutBox();
    return 0;
  }
  ApplyCommandLine(line);
  // A second start for the same product shows the first one instead.
  if (!ClaimProduct(g_update.product)) return 0;
  CreateTransferPause();

  if (CreateTemporaryFile() != 0) {
    CloseFileHandle(&g_update.output);
    if (g_update.tempFile[0]) DeleteFileA(g_update.tempFile);
    ShowMessage(IDS_NO_TEMP_FILE, MB_OK);
    return -1;
  }
  // The system's proxy settings, so that users behind a proxy can update.
  g_update.internet = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (g_update.internet == nullptr) {
    CloseFileHandle(&g_update.output);
    DeleteFileA(g_update.tempFile);
    ShowMessage(IDS_NO_INTERNET, MB_OK);
    return -1;
  }
  DWORD retries = 1;
  InternetSetOptionA(g_update.internet, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);

  CheckForUpdate();
  CleanUp();
  return 0;
}
