// Control of our Win32 stand-in, for tests and the simulated host: planned
// allocation failures and counts, the operating-system version GetVersionExA
// reports, and the bitmap records GetObjectA reads. One instance per process (the
// stand-in is a shared library), so a plug-in loaded from any fresh copy and the
// test that loaded it see the same state.
#pragma once

#include <cstdint>

#include "win32_standin/win32_api.h"

namespace win32_standin {

// ---- GlobalAlloc / GlobalFree ----

enum class AllocationFailure {
  Once,        // only the planned request fails (a transient shortage)
  FromThenOn,  // the planned request and every later one fail (memory is gone)
};

// Plans a failure: the nth GlobalAlloc request from now on (1 is the next one)
// returns null, once or from then on. Replaces any earlier plan.
WIN32_STANDIN_API void FailAllocation(uint64_t nth, AllocationFailure mode);
// No request fails from now on (except for want of memory).
WIN32_STANDIN_API void ClearAllocationFailure();

// GlobalAlloc calls since the start or since ResetAllocationRequests, failed ones
// included.
WIN32_STANDIN_API uint64_t AllocationRequests();
WIN32_STANDIN_API void ResetAllocationRequests();

// Blocks obtained from GlobalAlloc and not yet released, process-wide.
WIN32_STANDIN_API uint64_t LiveBlocks();

// ---- GetVersionExA ----

// The version GetVersionExA reports from now on. Start: Windows XP (NT 5.1).
WIN32_STANDIN_API void SetOsVersion(uint32_t platformId, uint32_t majorVersion, uint32_t minorVersion);
// While set, GetVersionExA fails for the OSVERSIONINFOEXA size (156), as a system
// older than NT 4.0 SP6 does, and still answers for 148.
WIN32_STANDIN_API void SetVersionExRefusesExSize(bool refuses);
// GetVersionExA calls since the start or since ResetOsVersion, failed ones included.
WIN32_STANDIN_API uint64_t VersionQueries();
// Windows XP again, the EX size accepted, the count at 0.
WIN32_STANDIN_API void ResetOsVersion();

// ---- Bitmap records for GetObjectA ----

struct BitmapRecord {
  int32_t width;
  int32_t height;
  int32_t widthBytes;    // bmWidthBytes, the stride
  uint16_t bitsPerPixel;
  void* bits;            // bmBits: first byte of row 0, or null for a bitmap without one
};

// A new bitmap handle that GetObjectA describes with record (bmType 0, bmPlanes 1).
WIN32_STANDIN_API HBITMAP CreateBitmapRecord(const BitmapRecord& record);
// Forgets the handle; GetObjectA then answers 0 for it. False for an unknown handle.
WIN32_STANDIN_API bool DestroyBitmapRecord(HBITMAP bitmap);
// Handles created and not yet destroyed.
WIN32_STANDIN_API uint64_t LiveBitmapRecords();

}  // namespace win32_standin
