// Scratch memory accounting, the part shared by both builds: the per-test
// baseline, the ledger check, and the API over the platform's backend.
#include "simhost/scratch_memory.h"

#include <string>
#include <vector>

#include "entry_modules.h"
#include "scratch_backend.h"
#include "simhost/host.h"

namespace simhost {
namespace {

uint64_t gLiveAtReset = 0;

}  // namespace

bool InterceptScratchMemory(void* module) { return scratch_backend::Intercept(module); }

void FailScratchRequest(uint64_t nth, ScratchFailure mode) { scratch_backend::Fail(nth, mode); }

void ClearScratchFailure() { scratch_backend::ClearFailure(); }

uint64_t ScratchRequests() { return scratch_backend::Requests(); }

int64_t LiveScratchBlocks() {
  return static_cast<int64_t>(scratch_backend::LiveBlocks()) - static_cast<int64_t>(gLiveAtReset);
}

void ResetScratchMemory() {
  static bool checkerAdded = false;
  if (!checkerAdded) {
    checkerAdded = true;
    AddLedgerChecker([](std::vector<std::string>& problems) {
      const int64_t live = LiveScratchBlocks();
      if (live != 0) problems.push_back("scratch blocks alive: " + std::to_string(live));
    });
  }
  scratch_backend::ClearFailure();
  scratch_backend::ResetRequests();
  gLiveAtReset = scratch_backend::LiveBlocks();
}

}  // namespace simhost
