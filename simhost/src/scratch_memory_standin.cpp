// Scratch memory accounting natively: our Win32 stand-in counts and fails every
// GlobalAlloc in the process.
#include "scratch_backend.h"
#include "win32_standin/control.h"

namespace simhost {
namespace scratch_backend {

bool Intercept(void*) { return true; }

void Fail(uint64_t nth, ScratchFailure mode) {
  win32_standin::FailAllocation(nth, mode == ScratchFailure::Once ? win32_standin::AllocationFailure::Once
                                                                  : win32_standin::AllocationFailure::FromThenOn);
}

void ClearFailure() { win32_standin::ClearAllocationFailure(); }

uint64_t Requests() { return win32_standin::AllocationRequests(); }

void ResetRequests() { win32_standin::ResetAllocationRequests(); }

uint64_t LiveBlocks() { return win32_standin::LiveBlocks(); }

}  // namespace scratch_backend
}  // namespace simhost
