// The host's side of loading: the version it reports, the interface version a
// plug-in announces, and the capture of every registered record.
#include "entry_modules.h"
#include "simhost/host.h"

namespace simhost {
namespace {

struct RegistrationState {
  double hostVersion = 2010.029;
  std::vector<int32_t> announced;
  std::vector<Registration> registrations;
};

RegistrationState& State() {
  static RegistrationState state;
  return state;
}

std::string Text(const char* text) { return text == nullptr ? std::string() : std::string(text); }

template <size_t N>
bool AllZero(const uint32_t (&words)[N]) {
  for (uint32_t word : words) {
    if (word != 0) return false;
  }
  return true;
}

// A list is read only where the host would read it: a non-null pointer and a
// positive count.
template <typename Record>
bool Readable(const Record* records, int32_t count) {
  return records != nullptr && count > 0;
}

std::vector<CapturedMethod> CaptureMethods(const MethodDefinition* methods, int32_t count) {
  std::vector<CapturedMethod> captured;
  if (!Readable(methods, count)) return captured;
  for (int32_t i = 0; i < count; ++i) {
    captured.push_back({methods[i].function, methods[i].setterFunction, Text(methods[i].declaration),
                        methods[i].flags});
  }
  return captured;
}

std::vector<CapturedProperty> CaptureProperties(const PropertyDefinition* properties, int32_t count) {
  std::vector<CapturedProperty> captured;
  if (!Readable(properties, count)) return captured;
  for (int32_t i = 0; i < count; ++i) {
    const PropertyDefinition& p = properties[i];
    captured.push_back({Text(p.name), Text(p.type), p.flags, p.getter, p.setter, p.param,
                        p.reserved0 == 0 && AllZero(p.reserved1)});
  }
  return captured;
}

std::vector<CapturedDeclaration> CaptureEvents(const EventDefinition* events, int32_t count) {
  std::vector<CapturedDeclaration> captured;
  if (!Readable(events, count)) return captured;
  for (int32_t i = 0; i < count; ++i) captured.push_back({Text(events[i].declaration), events[i].reserved == 0});
  return captured;
}

std::vector<CapturedDeclaration> CaptureConstants(const ConstantDefinition* constants, int32_t count) {
  std::vector<CapturedDeclaration> captured;
  if (!Readable(constants, count)) return captured;
  for (int32_t i = 0; i < count; ++i) {
    captured.push_back({Text(constants[i].declaration), AllZero(constants[i].reserved)});
  }
  return captured;
}

void CaptureClass(RegistrationKind kind, const ClassDefinition* d) {
  Registration r{};
  r.kind = kind;
  r.record = d;
  if (d == nullptr) {
    LedgerProblem("a null class definition was registered");
    State().registrations.push_back(r);
    return;
  }
  r.version = d->version;
  r.name = Text(d->name);
  if (d->superclassName != nullptr) r.superclassName = d->superclassName;
  r.instanceDataSize = d->instanceDataSize;
  r.flags = d->flags;
  r.constructorFunction = d->constructorFunction;
  r.destructorFunction = d->destructorFunction;
  r.propertyCount = d->propertyCount;
  r.methodCount = d->methodCount;
  r.eventCount = d->eventCount;
  r.constantCount = d->constantCount;
  r.classPropertyCount = d->classPropertyCount;
  r.classMethodCount = d->classMethodCount;
  r.properties = CaptureProperties(d->properties, d->propertyCount);
  r.methods = CaptureMethods(d->methods, d->methodCount);
  r.events = CaptureEvents(d->events, d->eventCount);
  r.constants = CaptureConstants(d->constants, d->constantCount);
  r.classProperties = CaptureProperties(d->classProperties, d->classPropertyCount);
  r.classMethods = CaptureMethods(d->classMethods, d->classMethodCount);
  r.reservedZero = d->reserved0 == 0 && AllZero(d->reserved1);
  State().registrations.push_back(std::move(r));
}

void RegisterPluginVersionEntry(int32_t version) {
  RecordCall("RegisterPluginVersion", {int64_t{version}});
  State().announced.push_back(version);
}

double GetRBVersionEntry() {
  RecordCall("REALGetRBVersion", {});
  return State().hostVersion;
}

void RegisterClassEntry(ClassDefinition* definition) {
  RecordCall("PluginRegisterClass", {static_cast<const void*>(definition)});
  CaptureClass(RegistrationKind::Class, definition);
}

void RegisterClassExtensionEntry(ClassDefinition* definition) {
  RecordCall("PluginRegisterClassExtension", {static_cast<const void*>(definition)});
  CaptureClass(RegistrationKind::ClassExtension, definition);
}

void RegisterModuleEntry(ModuleDefinition* d) {
  RecordCall("PluginRegisterModule", {static_cast<const void*>(d)});
  Registration r{};
  r.kind = RegistrationKind::Module;
  r.record = d;
  if (d == nullptr) {
    LedgerProblem("a null module definition was registered");
    State().registrations.push_back(r);
    return;
  }
  r.version = d->version;
  r.name = Text(d->name);
  r.methodCount = d->methodCount;
  r.constantCount = d->constantCount;
  r.methods = CaptureMethods(d->methods, d->methodCount);
  r.constants = CaptureConstants(d->constants, d->constantCount);
  r.reservedZero = AllZero(d->reserved);
  State().registrations.push_back(std::move(r));
}

}  // namespace

void DefineRegistrationEntries() {
  DefineEntry("RegisterPluginVersion", &RegisterPluginVersionEntry);
  DefineEntry("REALGetRBVersion", &GetRBVersionEntry);
  DefineEntry("PluginRegisterClass", &RegisterClassEntry);
  DefineEntry("PluginRegisterClassExtension", &RegisterClassExtensionEntry);
  DefineEntry("PluginRegisterModule", &RegisterModuleEntry);
}

void ResetRegistrations() { State() = RegistrationState{}; }

void SetHostVersion(double version) { State().hostVersion = version; }

const std::vector<int32_t>& AnnouncedVersions() { return State().announced; }

const std::vector<Registration>& Registrations() { return State().registrations; }

const Registration* FindRegistration(const std::string& name) {
  for (const Registration& r : State().registrations) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

}  // namespace simhost
