// The platform half of scratch memory accounting (scratch_memory_*.cpp).
#pragma once

#include <cstdint>

#include "simhost/scratch_memory.h"

namespace simhost {
namespace scratch_backend {

bool Intercept(void* module);
void Fail(uint64_t nth, ScratchFailure mode);
void ClearFailure();
uint64_t Requests();
void ResetRequests();
uint64_t LiveBlocks();  // blocks of counted callers obtained and not released

}  // namespace scratch_backend
}  // namespace simhost
