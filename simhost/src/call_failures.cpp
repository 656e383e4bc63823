// Planned failures of host calls, per entry.
#include "simhost/call_failures.h"

#include <map>

#include "entry_modules.h"

namespace simhost {
namespace {

struct EntryFailures {
  uint64_t calls = 0;
  uint64_t failed = 0;
  uint64_t failAt = 0;  // call number that fails first; 0: none planned
  CallFailure mode = CallFailure::Once;
};

std::map<std::string, EntryFailures>& Entries() {
  static std::map<std::string, EntryFailures> entries;
  return entries;
}

}  // namespace

void ResetCallFailures() { Entries().clear(); }

void FailCall(const std::string& entry, uint64_t nth, CallFailure mode) {
  EntryFailures& failures = Entries()[entry];
  failures.failAt = nth == 0 ? 0 : failures.calls + nth;
  failures.mode = mode;
}

void ClearCallFailures() {
  for (auto& entry : Entries()) entry.second.failAt = 0;
}

uint64_t FailableCalls(const std::string& entry) {
  auto found = Entries().find(entry);
  return found == Entries().end() ? 0 : found->second.calls;
}

uint64_t FailedCalls(const std::string& entry) {
  auto found = Entries().find(entry);
  return found == Entries().end() ? 0 : found->second.failed;
}

bool CallFails(const char* entry) {
  EntryFailures& failures = Entries()[entry];
  const uint64_t call = ++failures.calls;
  const bool fails = failures.failAt != 0 && call >= failures.failAt &&
                     (call == failures.failAt || failures.mode == CallFailure::FromThenOn);
  if (fails) ++failures.failed;
  return fails;
}

}  // namespace simhost
