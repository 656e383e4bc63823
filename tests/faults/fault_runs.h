// Fault simulation: a scenario of a plug-in run end to end in a fresh host with a
// fresh copy of the plug-in, under one planned fault: host entries hidden, a
// GlobalAlloc request refused, or a host call refused, each once (transient) or
// from then on (persistent).
//
// A scenario checks, with the test framework's assertions, that what came out is a
// result the rules allow under that fault; the run then checks that nothing was
// left behind (LedgerReport: leaked references, description locks left open,
// scratch blocks alive, misuse of host objects).
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "simhost/host.h"
#include "simhost/plugin_loader.h"

namespace faulttest {

enum class FaultKind { None, EntriesHidden, ScratchRequestFails, HostCallFails };

struct Fault {
  FaultKind kind = FaultKind::None;
  std::vector<std::string> hidden;  // EntriesHidden
  std::string entry;                // HostCallFails
  uint64_t nth = 0;                 // ScratchRequestFails, HostCallFails
  bool persistent = false;          // from the nth on, rather than the nth alone

  std::string Describe() const;
  // True when the fault can change what entry does: it is hidden, or its calls fail.
  bool Touches(const std::string& entryName) const;
  bool TouchesScratch() const { return kind == FaultKind::ScratchRequestFails; }
  // True for a ledger line the fault itself explains: with a release entry hidden
  // the plug-in cannot give back what only that entry releases, and the host keeps
  // it (REALUnlockString: strings; REALUnlockObject: other objects' references;
  // unlockPictureDescription: description locks; REALPictureClearCache: the
  // host's stale cache of a written picture).
  bool Excuses(const std::string& ledgerLine) const;
};

// The host calls that can be refused at the nth call (simhost/call_failures.h).
const std::vector<std::string>& FailableEntries();

struct Scenario;

// One run: a fresh host, a fresh copy of the plug-in, the scenario's host set up,
// the fault planned.
class ScenarioRun {
 public:
  ScenarioRun(const Scenario& scenario, const Fault& fault);
  ~ScenarioRun();
  ScenarioRun(const ScenarioRun&) = delete;
  ScenarioRun& operator=(const ScenarioRun&) = delete;

  bool loaded() const { return loaded_; }
  const Fault& fault() const { return fault_; }
  bool Touches(const std::string& entry) const { return fault_.Touches(entry); }

  // REALPluginMain with the simulated host's resolver.
  void Start() const;
  // A plug-in function the host was given: the first method registered under
  // owner with that declaration, or null.
  PluginFunction RegisteredMethod(const std::string& owner, const std::string& declaration) const;

  // An object (or string) the scenario holds one reference to, dropped at the end.
  HostObject Own(HostObject object);
  const void* Own(const void* object) { return Own(static_cast<HostObject>(const_cast<void*>(object))); }

  // Drops what the scenario holds, lets the host handle what was raised, and
  // returns the ledger: empty when nothing was left behind.
  std::vector<std::string> Finish();

 private:
  Fault fault_;
  simhost::LoadedPlugin plugin_;
  bool loaded_ = false;
  std::vector<HostObject> owned_;
};

struct Scenario {
  const char* name;
  const char* plugin;  // "Veilpix" or "Tillbridge"
  void (*prepareHost)();  // how the host treats pictures (before the fault is planned), or null
  void (*run)(ScenarioRun& run);
  // Failable entries that a clean run must call (so that their loops run), and the
  // scratch requests it must make at least.
  std::vector<std::string> mustCall;
  uint64_t minimumScratchRequests;
};

inline void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

// What a clean run of a scenario made: the counts the loops go up to, and every
// name the plug-in asked the resolver for.
struct CleanCounts {
  uint64_t scratchRequests = 0;
  std::map<std::string, uint64_t> calls;  // per failable entry
  std::vector<std::string> lookups;
};

// Runs the scenario once under fault, with its checks and the ledger's; the
// failures carry the fault's description.
CleanCounts RunScenario(const Scenario& scenario, const Fault& fault);

// The scenarios of each plug-in.
const std::vector<Scenario>& StoreScenarios();
const std::vector<Scenario>& VeilpixScenarios();

// Veilpix's host entries: those it calls through its wrappers and those it looks
// up on every use.
const std::vector<std::string>& VeilpixEntries();

}  // namespace faulttest
