// Resource identifiers of Nuvora (shared by the program and nuvora.rc).
#pragma once

#define IDI_NUVORA 100

#define IDD_ABOUT 101
#define IDD_INFO 103
#define IDD_DOWNLOAD 104
#define IDD_CONNECTING 105

#define IDC_APPNAME 1000
#define IDC_VERSION 1001
#define IDC_PRICE 1002
#define IDC_LANGUAGES 1003
#define IDC_SIZE_FIELD 1004
#define IDC_PROGRESS 1005
#define IDC_CAPTION 1006
#define IDC_PROGRESS_TEXT 1007
#define IDC_STATUS 1011

// Messages that the transfer thread posts to its dialog: private, so that no key
// or control can produce them. wParam of the outcome: 1 done, 0 failed.
#define WM_NUVORA_OUTCOME (WM_APP + 1)
#define WM_NUVORA_LOADING (WM_APP + 2)

#define IDS_CAPTION 1
#define IDS_NO_INTERNET 3
#define IDS_NO_TEMP_FILE 4
#define IDS_NO_CONNECTION 5
#define IDS_CANNOT_WRITE 6
#define IDS_NO_NEWER 7
#define IDS_NOT_AVAILABLE 8
#define IDS_CORRUPT_FILE 9
#define IDS_DOWNLOADING 10
#define IDS_PROGRESS 11
#define IDS_CANNOT_OPEN_URL 12
#define IDS_STOP_QUESTION 13
#define IDS_INSTALL_QUESTION 14
#define IDS_CONNECTING 17
#define IDS_LOADING 18
#define IDS_CONNECTION_RESET 19
#define IDS_DAMAGED_FILE 20
#define IDS_NOT_STARTED 21
#define IDS_UNVERIFIED 22
#define IDS_REPLAYED 23
#define IDS_EXPIRED 24
#define IDS_BAD_CERTIFICATE 25
#define IDS_INSECURE_REDIRECT 26
#define IDS_STALLED 27
#define IDS_START_FAILED 28
