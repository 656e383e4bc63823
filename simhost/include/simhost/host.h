// The simulated host: stands in for the REALbasic host in tests and tools.
//
// One host per process, reset by Reset() at the start of every test. It serves
// every entry point a plug-in may ask for through Resolver(), each of which can be
// made absent, or present only from a given lookup on; it counts lookups per name,
// records every host call with its arguments, keeps host objects with reference
// counts, and captures every registration as the host received it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "frame/host_abi.h"

namespace simhost {

// ---- The host's lifetime ----

// Forgets everything: entries back to their defaults (all present), counts, calls,
// objects, registrations, the host version (2010.029) and every variant choice.
void Reset();

// ---- Entry points ----

// The resolver to hand to REALPluginMain.
HostResolver Resolver();

// Entry availability. Every entry starts present.
void SetEntryAbsent(const std::string& name);
void SetEntryPresent(const std::string& name);
// Absent for the first (lookup - 1) lookups of the name, present from that lookup on.
void SetEntryPresentFromLookup(const std::string& name, int lookup);
// Serves name with another implementation (which must have the entry's signature);
// the entry is then present. Also adds entries the host does not know by default.
void SetEntryAddress(const std::string& name, void* address);
// The default implementation of an entry, null for a name the host does not know.
void* DefaultEntryAddress(const std::string& name);
// Every entry name the host serves by default.
std::vector<std::string> EntryNames();

// How often the plug-in asked the resolver for name, and every name asked, in order.
int LookupCount(const std::string& name);
const std::vector<std::string>& Lookups();

// ---- Host calls ----

// One argument of a recorded call: an integer, an address (objects, records,
// buffers), a text (names and string bytes) or a double.
using CallArg = std::variant<int64_t, const void*, std::string, double>;

struct HostCall {
  std::string entry;
  std::vector<CallArg> args;
};

// Every call of a host entry point since Reset(), in order.
const std::vector<HostCall>& Calls();
// The calls of one entry, in order.
std::vector<HostCall> CallsOf(const std::string& entry);
// Entry names of all calls, in order (handy for sequence checks).
std::vector<std::string> CallSequence();
// Used by entry implementations: appends a call record.
void RecordCall(const char* entry, std::vector<CallArg> args);

// ---- Host objects and references ----

enum class ObjectKind { Picture, Graphics, Instance, String, Array };

// Creates a host object with one reference that belongs to the caller. onRelease
// runs when the last reference goes (the object's payload is freed there).
HostObject CreateObject(ObjectKind kind, const std::string& className,
                        std::function<void()> onRelease = {});
HostString CreateString(const std::string& bytes);

// True for a handle this host made (alive or already released).
bool IsKnownObject(const void* handle);
bool IsAlive(const void* handle);
int References(const void* handle);
ObjectKind KindOf(const void* handle);
const std::string& ClassNameOf(const void* handle);
// The bytes of a host string (alive or released).
const std::string& StringBytes(const void* handle);
uint32_t StringEncoding(const void* handle);
void SetStringEncodingOf(const void* handle, uint32_t encoding);

// Adds or drops one reference, recording misuse (unknown handle, use after the
// last reference, dropping more references than exist) as a ledger problem.
void Retain(const void* handle);
void Release(const void* handle);

// Objects that still hold at least one reference.
std::vector<const void*> LiveObjects();

// ---- The ledger ----

// Records a fault of the plug-in that the host noticed.
void LedgerProblem(const std::string& problem);

// Every fault recorded, plus one line per object still alive that is not in
// owned, and per owned object whose reference count differs from its entry.
// owned: objects the test itself holds references to, with their expected count.
// Checkers added by other parts of the host (locks, scratch blocks) run too.
std::vector<std::string> LedgerReport(const std::vector<std::pair<const void*, int>>& owned = {});

// Lets another part of the host add lines to LedgerReport (description locks,
// scratch memory). Checkers are kept across Reset().
void AddLedgerChecker(std::function<void(std::vector<std::string>&)> checker);

// ---- Registrations and version ----

// The version REALGetRBVersion answers (Reset: 2010.029).
void SetHostVersion(double version);
// Every version announced through RegisterPluginVersion.
const std::vector<int32_t>& AnnouncedVersions();

struct CapturedMethod {
  PluginFunction function;
  PluginFunction setterFunction;
  std::string declaration;
  uint32_t flags;
};

struct CapturedProperty {
  std::string name;
  std::string type;
  uint32_t flags;
  PropertyAccessor getter;
  PropertyAccessor setter;
  int32_t param;
  bool reservedZero;
};

struct CapturedDeclaration {  // events and constants
  std::string declaration;
  bool reservedZero;
};

enum class RegistrationKind { Class, ClassExtension, Module };

// A registered record as the host received it: every field copied at the moment of
// the call (lists read only when the pointer is non-null and the count positive;
// the counts themselves as received).
struct Registration {
  RegistrationKind kind;
  const void* record;  // the plug-in's record itself
  int32_t version;
  std::string name;
  std::optional<std::string> superclassName;
  int32_t instanceDataSize;
  uint32_t flags;
  PluginFunction constructorFunction;
  PluginFunction destructorFunction;
  int32_t propertyCount, methodCount, eventCount, constantCount, classPropertyCount, classMethodCount;
  std::vector<CapturedProperty> properties;
  std::vector<CapturedMethod> methods;
  std::vector<CapturedDeclaration> events;
  std::vector<CapturedDeclaration> constants;
  std::vector<CapturedProperty> classProperties;
  std::vector<CapturedMethod> classMethods;
  bool reservedZero;  // every reserved word of the record was 0
};

const std::vector<Registration>& Registrations();
// The registration named name, or null.
const Registration* FindRegistration(const std::string& name);

}  // namespace simhost
