// Includes <windows.h> for this project's Windows sources.
//
// platform/platform.h declares the core's message-box styles as constants
// named MB_OK and MB_ICONEXCLAMATION, which <windows.h> defines as macros.
// Declaring them first keeps both usable: later uses see the macros,
// which have the same values.
#pragma once

#include "platform/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
