// The Win32 calls of Veilpix: the real ones on Windows, our stand-in natively.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include "win32_standin/win32_api.h"
#endif
