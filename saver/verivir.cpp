// The application's source file: the singleton guard is constructed before the
// application object, so at exit it tears the singletons down after it.
#include "saver/saver_app.h"
#include "xtl/singleton.h"

static xtl::singleton_guard guard;
CSaverApp theApp;
