#pragma once

// The Win32 API, for the Windows window's own sources; the core never sees it. The lean set
// leaves out the file dialog's header, whose OFN_ macros would stand in the way of the
// window logic's constants of the same names; Win32Services.cpp takes it after them.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
