// The resolver: the table of entry names the host serves, their availability, and
// the count of lookups per name.
#include <map>

#include "entry_modules.h"
#include "simhost/host.h"

namespace simhost {
namespace {

struct EntryState {
  void* address = nullptr;
  int presentFromLookup = 1;  // lookups before this one answer null; 0 = never present
};

struct ResolverState {
  std::map<std::string, void*> defaults;
  std::map<std::string, EntryState> entries;
  std::map<std::string, int> lookupCounts;
  std::vector<std::string> lookups;
};

ResolverState& State() {
  static ResolverState state;
  return state;
}

void* ResolveEntry(const char* name) {
  ResolverState& state = State();
  if (name == nullptr) {
    LedgerProblem("resolver asked for a null name");
    return nullptr;
  }
  const std::string key(name);
  const int lookup = ++state.lookupCounts[key];
  state.lookups.push_back(key);
  auto found = state.entries.find(key);
  if (found == state.entries.end()) return nullptr;
  const EntryState& entry = found->second;
  if (entry.presentFromLookup <= 0 || lookup < entry.presentFromLookup) return nullptr;
  return entry.address;
}

EntryState& Entry(const std::string& name) { return State().entries[name]; }

}  // namespace

void DefineDefaultEntry(const char* name, void* address) { State().defaults[name] = address; }

void ResetResolver() {
  ResolverState& state = State();
  state.entries.clear();
  state.lookupCounts.clear();
  state.lookups.clear();
  for (const auto& [name, address] : state.defaults) {
    state.entries[name] = EntryState{address, 1};
  }
}

HostResolver Resolver() { return &ResolveEntry; }

void SetEntryAbsent(const std::string& name) { Entry(name).presentFromLookup = 0; }

void SetEntryPresent(const std::string& name) { Entry(name).presentFromLookup = 1; }

void SetEntryPresentFromLookup(const std::string& name, int lookup) {
  Entry(name).presentFromLookup = lookup < 1 ? 1 : lookup;
}

void SetEntryAddress(const std::string& name, void* address) {
  EntryState& entry = Entry(name);
  entry.address = address;
  entry.presentFromLookup = 1;
}

void* DefaultEntryAddress(const std::string& name) {
  auto found = State().defaults.find(name);
  return found == State().defaults.end() ? nullptr : found->second;
}

std::vector<std::string> EntryNames() {
  std::vector<std::string> names;
  for (const auto& entry : State().defaults) names.push_back(entry.first);
  return names;
}

int LookupCount(const std::string& name) {
  auto found = State().lookupCounts.find(name);
  return found == State().lookupCounts.end() ? 0 : found->second;
}

const std::vector<std::string>& Lookups() { return State().lookups; }

}  // namespace simhost
