// inspect's text: each registration in the host language's own terms ("Class …
// Inherits …", "Shared Method", "Const", "End Class"), every field the host read,
// and a note wherever a record is not what the host expects.
#include <sstream>

#include "frame/host_abi.h"
#include "inspect_report.h"

namespace plughost {
namespace {

using simhost::CapturedDeclaration;
using simhost::CapturedMethod;
using simhost::CapturedProperty;
using simhost::Registration;
using simhost::RegistrationKind;

std::string Access(const CapturedMethod& method) {
  const bool readable = method.function != nullptr, assignable = method.setterFunction != nullptr;
  if (readable && assignable) return "readable and assignable";
  if (readable) return "readable";
  if (assignable) return "assignable";
  return "neither readable nor assignable";
}

void Methods(std::ostream& out, const char* keyword, const std::vector<CapturedMethod>& methods) {
  for (const CapturedMethod& method : methods) {
    out << "  " << keyword << ' ' << method.declaration << "    [flags " << Hex(method.flags) << ", " << Access(method)
        << "]\n";
  }
}

void Properties(std::ostream& out, const char* keyword, const std::vector<CapturedProperty>& properties) {
  for (const CapturedProperty& p : properties) {
    out << "  " << keyword << ' ' << p.name << " As " << p.type << "    [flags " << Hex(p.flags) << ", ";
    if (HostStored(p)) {
      out << "stored by the host at instance offset " << p.param;
    } else {
      out << "get: " << AccessorKind(p.getter) << ", set: " << AccessorKind(p.setter) << ", param " << p.param;
    }
    out << (p.reservedZero ? "" : ", reserved words not zero") << "]\n";
  }
}

void Declarations(std::ostream& out, const char* keyword, const std::vector<CapturedDeclaration>& declarations) {
  for (const CapturedDeclaration& d : declarations) {
    out << "  " << keyword << ' ' << d.declaration << (d.reservedZero ? "" : "    [reserved words not zero]") << "\n";
  }
}

// A count the host received that does not match the list it could read: a null
// list, or a count below 1, is not read.
void CountNote(std::ostream& out, const char* field, int32_t count, size_t read) {
  if (count != static_cast<int32_t>(read)) {
    out << "  Note: " << field << " is " << count << " but no list was read (null list or count below 1)\n";
  }
}

void RecordNotes(std::ostream& out, const Registration& r) {
  if (r.version != kPluginInterfaceVersion) {
    out << "  Note: record version " << r.version << " (this host reads version " << kPluginInterfaceVersion << ")\n";
  }
  if (!r.reservedZero) out << "  Note: reserved words of the record are not zero\n";
  CountNote(out, "methodCount", r.methodCount, r.methods.size());
  CountNote(out, "constantCount", r.constantCount, r.constants.size());
  if (r.kind == RegistrationKind::Module) return;
  CountNote(out, "propertyCount", r.propertyCount, r.properties.size());
  CountNote(out, "eventCount", r.eventCount, r.events.size());
  CountNote(out, "classPropertyCount", r.classPropertyCount, r.classProperties.size());
  CountNote(out, "classMethodCount", r.classMethodCount, r.classMethods.size());
}

const char* FunctionKind(PluginFunction function) { return function != nullptr ? "plug-in function" : "none"; }

void ClassBody(std::ostream& out, const Registration& r) {
  RecordNotes(out, r);
  Properties(out, "Property", r.properties);
  Properties(out, "Shared Property", r.classProperties);
  Methods(out, "Method", r.methods);
  Methods(out, "Shared Method", r.classMethods);
  Declarations(out, "Event", r.events);
  Declarations(out, "Const", r.constants);
}

void Class(std::ostream& out, const Registration& r) {
  out << "Class " << r.name;
  if (r.superclassName) out << " Inherits " << *r.superclassName;
  out << "\n  Instance data: " << r.instanceDataSize << " bytes; flags " << Hex(r.flags)
      << "; constructor: " << FunctionKind(r.constructorFunction)
      << "; destructor: " << FunctionKind(r.destructorFunction) << "\n";
  ClassBody(out, r);
  out << "End Class\n\n";
}

void Extension(std::ostream& out, const Registration& r) {
  out << "Extension of " << r.name << "\n  Flags " << Hex(r.flags);
  // An extension adds members only; anything else in the record is shown too.
  if (r.superclassName) out << "; superclass " << *r.superclassName;
  if (r.instanceDataSize != 0) out << "; instance data " << r.instanceDataSize << " bytes";
  if (r.constructorFunction != nullptr) out << "; constructor: plug-in function";
  if (r.destructorFunction != nullptr) out << "; destructor: plug-in function";
  out << "\n";
  ClassBody(out, r);
  out << "End Extension\n\n";
}

void Module(std::ostream& out, const Registration& r) {
  out << "Module " << r.name << "\n";
  RecordNotes(out, r);
  Methods(out, "Method", r.methods);
  Declarations(out, "Const", r.constants);
  out << "End Module\n\n";
}

void Section(std::ostream& out, const InspectReport& report, RegistrationKind kind,
             void (*render)(std::ostream&, const Registration&)) {
  for (const Registration& r : report.registrations) {
    if (r.kind != kind) continue;
    if (r.record == nullptr) {
      out << (kind == RegistrationKind::Module ? "A null module definition" : "A null class definition")
          << " was registered\n\n";
      continue;
    }
    render(out, r);
  }
}

}  // namespace

std::string InspectText(const InspectReport& report) {
  std::ostringstream out;
  out << "Plug-in " << report.plugin << "\nHost version " << Number(report.hostVersion) << "\n\n";
  if (report.registrations.empty()) out << "Nothing was registered.\n\n";
  Section(out, report, RegistrationKind::Class, &Class);
  Section(out, report, RegistrationKind::ClassExtension, &Extension);
  Section(out, report, RegistrationKind::Module, &Module);

  out << "Asked of the host during REALPluginMain\n  Announced plug-in interface version: ";
  if (report.announcedVersions.empty()) out << "none";
  for (size_t i = 0; i < report.announcedVersions.size(); ++i) {
    out << (i > 0 ? ", " : "") << report.announcedVersions[i];
  }
  out << "\n  Entries looked up, in the order first asked for:\n";
  if (report.lookups.empty()) out << "    none\n";
  for (const EntryLookup& lookup : report.lookups) {
    std::string name = lookup.entry;
    if (name.size() < 32) name.resize(32, ' ');
    out << "    " << name << ' ' << lookup.count << (lookup.count == 1 ? " time" : " times")
        << (lookup.offered ? "" : ", not offered by this host") << "\n";
  }
  if (!report.problems.empty()) {
    out << "\nProblems the host noticed\n";
    for (const std::string& problem : report.problems) out << "  " << problem << "\n";
  }
  return out.str();
}

}  // namespace plughost
