// The framework layer in place of MFC: one include for its users.
//
// Failures in the framework are those of the Win32 calls it wraps: FALSE or
// false, a null handle or pointer, -1 from a window's creation hook; the
// system's last error says why. It throws nothing of its own, and dynamic
// creation that runs out of memory gives null.
#pragma once
#include "framework/app.h"
#include "framework/object.h"
#include "framework/sync.h"
#include "framework/thread.h"
#include "framework/dialog.h"
#include "framework/wnd.h"
