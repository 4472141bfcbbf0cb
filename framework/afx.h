// The framework layer in place of MFC: one include for its users.
#pragma once
#include "framework/app.h"
#include "framework/object.h"
#include "framework/sync.h"
#include "framework/thread.h"
#include "framework/dialog.h"
#include "framework/wnd.h"
