// The four modal dialogs of Nuvora; each returns its end code.
#pragma once
#include <windows.h>

namespace nuvora {

INT_PTR RunAboutBox();           // 1 or 2
INT_PTR RunConnectingDialog();   // 1: configuration fetched, 2: failed or stopped
INT_PTR RunInformationDialog();  // 1: a target file was chosen, 2: cancelled
INT_PTR RunDownloadDialog();     // 1: installer saved, 2: failed or stopped

}  // namespace nuvora
