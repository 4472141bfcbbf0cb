#include "saver/saver_app.h"

CSaverApp::CSaverApp() = default;

CSaverApp::~CSaverApp() = default;

CSaverApp* SaverApp() { return static_cast<CSaverApp*>(AfxGetApp()); }
