// GetVersionExA reporting the version that tests and the simulated host set.
#include <cstring>
#include <mutex>

#include "win32_standin/control.h"
#include "win32_standin/win32_api.h"

namespace {

struct VersionState {
  std::mutex mutex;
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  DWORD majorVersion = 5;
  DWORD minorVersion = 1;
  bool refusesExSize = false;
  uint64_t queries = 0;
};

VersionState& State() {
  static VersionState* state = new VersionState;  // outlives every caller
  return *state;
}

constexpr DWORD kInfoSize = sizeof(OSVERSIONINFOA);
constexpr DWORD kInfoExSize = sizeof(OSVERSIONINFOEXA);

}  // namespace

extern "C" BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  VersionState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  ++state.queries;
  if (lpVersionInformation == nullptr) return 0;
  const DWORD size = lpVersionInformation->dwOSVersionInfoSize;
  if (size != kInfoSize && size != kInfoExSize) return 0;
  if (size == kInfoExSize && state.refusesExSize) return 0;
  // The caller's record is size bytes long; write it whole through bytes.
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = size;
  info.dwMajorVersion = state.majorVersion;
  info.dwMinorVersion = state.minorVersion;
  info.dwBuildNumber = 2600;
  info.dwPlatformId = state.platformId;
  std::memcpy(lpVersionInformation, &info, size);
  return 1;
}

namespace win32_standin {

void SetOsVersion(uint32_t platformId, uint32_t majorVersion, uint32_t minorVersion) {
  VersionState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.platformId = platformId;
  state.majorVersion = majorVersion;
  state.minorVersion = minorVersion;
}

void SetVersionExRefusesExSize(bool refuses) {
  VersionState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.refusesExSize = refuses;
}

uint64_t VersionQueries() {
  VersionState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.queries;
}

void ResetOsVersion() {
  VersionState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.platformId = VER_PLATFORM_WIN32_NT;
  state.majorVersion = 5;
  state.minorVersion = 1;
  state.refusesExSize = false;
  state.queries = 0;
}

}  // namespace win32_standin
