// The record of host calls.
#include "entry_modules.h"
#include "simhost/host.h"

namespace simhost {
namespace {

std::vector<HostCall>& CallLog() {
  static std::vector<HostCall> calls;
  return calls;
}

}  // namespace

void ResetCalls() { CallLog().clear(); }

void RecordCall(const char* entry, std::vector<CallArg> args) {
  CallLog().push_back(HostCall{entry, std::move(args)});
}

const std::vector<HostCall>& Calls() { return CallLog(); }

std::vector<HostCall> CallsOf(const std::string& entry) {
  std::vector<HostCall> matching;
  for (const HostCall& call : CallLog()) {
    if (call.entry == entry) matching.push_back(call);
  }
  return matching;
}

std::vector<std::string> CallSequence() {
  std::vector<std::string> names;
  for (const HostCall& call : CallLog()) names.push_back(call.entry);
  return names;
}

}  // namespace simhost
