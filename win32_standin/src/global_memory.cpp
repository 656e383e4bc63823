// GlobalAlloc and GlobalFree over the C heap, with planned failures and counts.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "win32_standin/control.h"
#include "win32_standin/win32_api.h"

namespace {

// What a block without GMEM_ZEROINIT holds, so that code relying on zeros it did
// not ask for shows up.
constexpr unsigned char kGarbageByte = 0xA5;

struct GlobalMemoryState {
  std::mutex mutex;
  std::unordered_set<void*> liveBlocks;
  uint64_t requests = 0;
  uint64_t failAt = 0;  // request number that fails first; 0: none planned
  win32_standin::AllocationFailure failMode = win32_standin::AllocationFailure::Once;
};

GlobalMemoryState& State() {
  static GlobalMemoryState* state = new GlobalMemoryState;  // outlives every caller
  return *state;
}

bool PlannedFailure(GlobalMemoryState& state, uint64_t request) {
  if (state.failAt == 0 || request < state.failAt) return false;
  return request == state.failAt || state.failMode == win32_standin::AllocationFailure::FromThenOn;
}

}  // namespace

extern "C" HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  GlobalMemoryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const uint64_t request = ++state.requests;
  if (PlannedFailure(state, request)) return nullptr;
  if ((uFlags & ~static_cast<UINT>(GMEM_ZEROINIT)) != GMEM_FIXED) return nullptr;  // moveable memory is not offered
  const size_t bytes = dwBytes == 0 ? 1 : dwBytes;
  void* block = std::malloc(bytes);
  if (block == nullptr) return nullptr;
  std::memset(block, (uFlags & GMEM_ZEROINIT) != 0 ? 0 : kGarbageByte, bytes);
  state.liveBlocks.insert(block);
  return block;
}

extern "C" HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  if (hMem == nullptr) return nullptr;
  GlobalMemoryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.liveBlocks.erase(hMem) == 0) return hMem;  // not ours, or released already
  std::free(hMem);
  return nullptr;
}

namespace win32_standin {

void FailAllocation(uint64_t nth, AllocationFailure mode) {
  GlobalMemoryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.failAt = nth == 0 ? 0 : state.requests + nth;
  state.failMode = mode;
}

void ClearAllocationFailure() {
  GlobalMemoryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.failAt = 0;
}

uint64_t AllocationRequests() {
  GlobalMemoryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.requests;
}

void ResetAllocationRequests() {
  GlobalMemoryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  // A planned failure keeps its distance from now; one that is over stays over.
  if (state.failAt > state.requests) {
    state.failAt -= state.requests;
  } else if (state.failAt != 0) {
    state.failAt = state.failMode == win32_standin::AllocationFailure::FromThenOn ? 1 : 0;
  }
  state.requests = 0;
}

uint64_t LiveBlocks() {
  GlobalMemoryState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.liveBlocks.size();
}

}  // namespace win32_standin
