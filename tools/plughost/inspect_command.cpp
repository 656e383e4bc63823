// inspect: load any plug-in library, start it, and report what it registered and
// what it asked of the host.
#include <iostream>
#include <map>

#include "commands.h"
#include "errors.h"
#include "inspect_report.h"
#include "plugin_session.h"
#include "simhost/host.h"

namespace plughost {
namespace {

std::vector<EntryLookup> SummarizeLookups(const std::vector<std::string>& lookups) {
  std::vector<EntryLookup> summary;
  std::map<std::string, size_t> index;
  for (const std::string& name : lookups) {
    auto found = index.find(name);
    if (found != index.end()) {
      ++summary[found->second].count;
      continue;
    }
    index[name] = summary.size();
    summary.push_back({name, 1, simhost::DefaultEntryAddress(name) != nullptr});
  }
  return summary;
}

}  // namespace

int RunInspect(const ParsedCommand& command) {
  const std::string& path = command.positionals[0];
  simhost::Reset();
  double hostVersion = 2010.029;
  if (auto version = command.Value("--host-version")) hostVersion = ParseNumber(*version, "--host-version");
  simhost::SetHostVersion(hostVersion);

  InspectReport report;
  {
    StartedPlugin plugin(path);
    report.plugin = path;
    report.hostVersion = hostVersion;
    report.registrations = simhost::Registrations();
    report.announcedVersions = simhost::AnnouncedVersions();
    report.lookups = SummarizeLookups(simhost::Lookups());
    report.problems = simhost::LedgerReport();
  }
  std::cout << (command.HasFlag("--json") ? InspectJson(report) : InspectText(report));
  return std::cout.flush() ? kExitSuccess : kExitFailure;
}

}  // namespace plughost
