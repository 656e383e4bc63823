// What inspect shows: the plug-in's registrations as the host captured them, and
// what the plug-in asked of the host while it started; rendered as text in the
// host language's terms or as one JSON document.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "simhost/host.h"

namespace plughost {

struct EntryLookup {
  std::string entry;
  int count;     // lookups of this name
  bool offered;  // the host serves the name
};

struct InspectReport {
  std::string plugin;
  double hostVersion;
  std::vector<simhost::Registration> registrations;  // in the order received
  std::vector<int32_t> announcedVersions;
  std::vector<EntryLookup> lookups;   // in the order of first lookup
  std::vector<std::string> problems;  // faults of the plug-in the host noticed
};

std::string InspectText(const InspectReport& report);
std::string InspectJson(const InspectReport& report);

// How a registration's functions and accessors are told in both renderings.
const char* AccessorKind(PropertyAccessor accessor);  // "host", "function" or "none"
bool HostStored(const simhost::CapturedProperty& property);  // both accessors are the host's
std::string Hex(uint32_t word);                              // "0x40004"
std::string Number(double value);                            // shortest form that reads back

}  // namespace plughost
