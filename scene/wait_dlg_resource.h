// Resource ids of the wait dialog.
#pragma once

#define IDR_WAIT_AVI 106
#define IDD_WAIT 107
#define IDC_WAIT_ANIMATE 1045
