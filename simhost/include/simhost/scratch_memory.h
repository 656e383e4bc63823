// Scratch memory accounting: the GlobalAlloc and GlobalFree calls of the plug-ins
// (and of the engine linked into a test), counted and made to fail on demand, with
// one API for both builds.
//
// Natively it forwards to our Win32 stand-in, which serves every caller in the
// process. On Windows it patches a module's import address table so that the
// module's GlobalAlloc and GlobalFree go through counting wrappers around the real
// kernel32 calls; only calls of intercepted modules are counted or failed.
//
// Reset() starts the accounting anew: no failure planned, requests at 0, and live
// blocks counted from there. LedgerReport() names scratch blocks still alive.
#pragma once

#include <cstdint>

namespace simhost {

enum class ScratchFailure {
  Once,        // only the planned request fails (transient)
  FromThenOn,  // the planned request and every later one fail (persistent)
};

// Routes module's GlobalAlloc and GlobalFree through the accounting. On Windows
// module is an HMODULE (null: the running executable); natively every caller is
// counted already and module is ignored. False when the module imports neither.
bool InterceptScratchMemory(void* module = nullptr);

// The nth GlobalAlloc request from now on (1: the next one) returns null, once or
// from then on. Replaces an earlier plan.
void FailScratchRequest(uint64_t nth, ScratchFailure mode);
void ClearScratchFailure();

// GlobalAlloc requests since Reset(), failed ones included.
uint64_t ScratchRequests();
// Blocks obtained since Reset() and not yet released (negative if blocks from
// before Reset() were released since).
int64_t LiveScratchBlocks();

}  // namespace simhost
