// inspect --json: the same report as one JSON document, for scripts.
//
// {"plugin", "hostVersion", "classes": [...], "classExtensions": [...],
//  "modules": [...], "host": {"announcedVersions", "lookups"}, "problems"}
// Flag words are hex strings as in the text ("0x40004"); counts are as the host
// received them, lists hold what it read.
#include <sstream>

#include "inspect_report.h"
#include "json_writer.h"

namespace plughost {
namespace {

using simhost::CapturedDeclaration;
using simhost::CapturedMethod;
using simhost::CapturedProperty;
using simhost::Registration;
using simhost::RegistrationKind;

const char* Bool(bool value) { return value ? "true" : "false"; }

// Writes a JSON array of items, one per line at indent, each through write.
template <typename Item, typename Write>
void Array(std::ostream& out, const std::vector<Item>& items, const std::string& indent, Write write) {
  if (items.empty()) {
    out << "[]";
    return;
  }
  out << "[\n";
  for (size_t i = 0; i < items.size(); ++i) {
    out << indent << "  ";
    write(items[i], indent + "  ");
    out << (i + 1 < items.size() ? ",\n" : "\n");
  }
  out << indent << "]";
}

void Method(std::ostream& out, const CapturedMethod& m) {
  out << "{\"declaration\": " << JsonString(m.declaration) << ", \"flags\": " << JsonString(Hex(m.flags))
      << ", \"readable\": " << Bool(m.function != nullptr) << ", \"assignable\": " << Bool(m.setterFunction != nullptr)
      << "}";
}

void Property(std::ostream& out, const CapturedProperty& p) {
  out << "{\"name\": " << JsonString(p.name) << ", \"type\": " << JsonString(p.type)
      << ", \"flags\": " << JsonString(Hex(p.flags)) << ", \"getter\": " << JsonString(AccessorKind(p.getter))
      << ", \"setter\": " << JsonString(AccessorKind(p.setter)) << ", \"param\": " << p.param
      << ", \"instanceOffset\": " << (HostStored(p) ? std::to_string(p.param) : std::string("null"))
      << ", \"reservedZero\": " << Bool(p.reservedZero) << "}";
}

void Declaration(std::ostream& out, const CapturedDeclaration& d) {
  out << "{\"declaration\": " << JsonString(d.declaration) << ", \"reservedZero\": " << Bool(d.reservedZero) << "}";
}

template <typename Item>
void Field(std::ostream& out, const std::string& indent, const char* name, const std::vector<Item>& items,
           void (*write)(std::ostream&, const Item&)) {
  out << ",\n" << indent << "  \"" << name << "\": ";
  Array(out, items, indent + "  ", [&](const Item& item, const std::string&) { write(out, item); });
}

void Counts(std::ostream& out, const Registration& r) {
  out << "{\"properties\": " << r.propertyCount << ", \"methods\": " << r.methodCount
      << ", \"events\": " << r.eventCount << ", \"constants\": " << r.constantCount
      << ", \"classProperties\": " << r.classPropertyCount << ", \"classMethods\": " << r.classMethodCount << "}";
}

void RegistrationObject(std::ostream& out, const Registration& r, const std::string& indent) {
  const std::string in = indent + "  ";
  out << "{\n" << in << "\"name\": " << JsonString(r.name);
  out << ",\n" << in << "\"nullDefinition\": " << Bool(r.record == nullptr);
  out << ",\n" << in << "\"recordVersion\": " << r.version;
  if (r.kind != RegistrationKind::Module) {
    out << ",\n" << in << "\"superclass\": " << (r.superclassName ? JsonString(*r.superclassName) : "null");
    out << ",\n" << in << "\"instanceDataSize\": " << r.instanceDataSize;
    out << ",\n" << in << "\"flags\": " << JsonString(Hex(r.flags));
    out << ",\n" << in << "\"constructor\": " << Bool(r.constructorFunction != nullptr);
    out << ",\n" << in << "\"destructor\": " << Bool(r.destructorFunction != nullptr);
    out << ",\n" << in << "\"counts\": ";
    Counts(out, r);
    Field(out, indent, "properties", r.properties, &Property);
    Field(out, indent, "methods", r.methods, &Method);
    Field(out, indent, "classProperties", r.classProperties, &Property);
    Field(out, indent, "classMethods", r.classMethods, &Method);
    Field(out, indent, "events", r.events, &Declaration);
  } else {
    out << ",\n" << in << "\"counts\": {\"methods\": " << r.methodCount << ", \"constants\": " << r.constantCount
        << "}";
    Field(out, indent, "methods", r.methods, &Method);
  }
  Field(out, indent, "constants", r.constants, &Declaration);
  out << ",\n" << in << "\"reservedZero\": " << Bool(r.reservedZero);
  out << "\n" << indent << "}";
}

void Registrations(std::ostream& out, const InspectReport& report, RegistrationKind kind) {
  std::vector<Registration> selected;
  for (const Registration& r : report.registrations) {
    if (r.kind == kind) selected.push_back(r);
  }
  Array(out, selected, "  ",
        [&](const Registration& r, const std::string& indent) { RegistrationObject(out, r, indent); });
}

}  // namespace

std::string InspectJson(const InspectReport& report) {
  std::ostringstream out;
  out << "{\n  \"plugin\": " << JsonString(report.plugin) << ",\n  \"hostVersion\": " << Number(report.hostVersion);
  out << ",\n  \"classes\": ";
  Registrations(out, report, RegistrationKind::Class);
  out << ",\n  \"classExtensions\": ";
  Registrations(out, report, RegistrationKind::ClassExtension);
  out << ",\n  \"modules\": ";
  Registrations(out, report, RegistrationKind::Module);
  out << ",\n  \"host\": {\n    \"announcedVersions\": [";
  for (size_t i = 0; i < report.announcedVersions.size(); ++i) {
    out << (i > 0 ? ", " : "") << report.announcedVersions[i];
  }
  out << "],\n    \"lookups\": ";
  Array(out, report.lookups, "    ", [&](const EntryLookup& lookup, const std::string&) {
    out << "{\"entry\": " << JsonString(lookup.entry) << ", \"count\": " << lookup.count
        << ", \"offered\": " << Bool(lookup.offered) << "}";
  });
  out << "\n  },\n  \"problems\": ";
  Array(out, report.problems, "  ",
        [&](const std::string& problem, const std::string&) { out << JsonString(problem); });
  out << "\n}\n";
  return out.str();
}

}  // namespace plughost
