#include "blur/windows_version.h"

#include <cstring>

#include "blur/win32.h"

namespace {

bool gWindows2000TestPending = true;
bool gWindows2000 = false;

constexpr DWORD kVersionInfoExSize = 156;  // OSVERSIONINFOEXA
constexpr DWORD kVersionInfoSize = 148;    // OSVERSIONINFOA, for systems older than NT 4.0 SP6

static_assert(sizeof(OSVERSIONINFOEXA) == kVersionInfoExSize, "OSVERSIONINFOEXA is 156 bytes");
static_assert(sizeof(OSVERSIONINFOA) == kVersionInfoSize, "OSVERSIONINFOA is 148 bytes");

bool ReadVersion(OSVERSIONINFOEXA* info) {
  std::memset(info, 0, sizeof *info);
  info->dwOSVersionInfoSize = kVersionInfoExSize;
  if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info)) != 0) return true;
  info->dwOSVersionInfoSize = kVersionInfoSize;
  return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info)) != 0;
}

}  // namespace

bool IsWindows2000() {
  if (!gWindows2000TestPending) return gWindows2000;
  gWindows2000TestPending = false;
  OSVERSIONINFOEXA info;
  if (!ReadVersion(&info)) {
    gWindows2000 = false;
    return false;
  }
  gWindows2000 = info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5 && info.dwMinorVersion == 0;
  return gWindows2000;
}
