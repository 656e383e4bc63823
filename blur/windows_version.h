// Recognising Windows 2000, whose bitmaps need the stride rule of pixel access.
#pragma once

// True on Windows NT 5.0. The system is asked once per process (GetVersionExA);
// the answer is remembered from then on. False when the version cannot be read.
bool IsWindows2000();
