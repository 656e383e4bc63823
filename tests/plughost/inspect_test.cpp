// plughost inspect: its JSON against what the simulated host captures from the
// same plug-in, the declarations our two plug-ins are known to make, the text in
// the host language's terms, and a plug-in of another author with every oddity.
#include <gtest/gtest.h>

#include <algorithm>
#include <json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "../support/fresh_plugin.h"
#include "simhost/host.h"
#include "tool_runner.h"

namespace {

using nlohmann::json;
using plughosttest::PluginPath;
using plughosttest::RunTool;
using simhost::Registration;
using simhost::RegistrationKind;

std::string Hex(uint32_t word) {
  std::ostringstream out;
  out << "0x" << std::hex << std::uppercase << word;
  return out.str();
}

std::string Accessor(PropertyAccessor accessor) {
  return accessor == kHostAccessor ? "host" : accessor != 0 ? "function" : "none";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The JSON of one plug-in, parsed; a failed run or unparsable output fails the test.
json InspectJson(const std::string& plugin, const std::string& hostVersion) {
  const plughosttest::ToolRun run = RunTool({"inspect", PluginPath(plugin), "--json", "--host-version", hostVersion});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  json document = json::parse(run.out, nullptr, false);
  EXPECT_FALSE(document.is_discarded()) << run.out;
  return document;
}

std::string InspectText(const std::string& plugin, const std::string& hostVersion = "2010.029") {
  const plughosttest::ToolRun run = RunTool({"inspect", PluginPath(plugin), "--host-version", hostVersion});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  return run.out;
}

void ExpectMethods(const json& methods, const std::vector<simhost::CapturedMethod>& captured) {
  ASSERT_EQ(methods.size(), captured.size());
  for (size_t i = 0; i < captured.size(); ++i) {
    SCOPED_TRACE(captured[i].declaration);
    EXPECT_EQ(methods[i]["declaration"], captured[i].declaration);
    EXPECT_EQ(methods[i]["flags"], Hex(captured[i].flags));
    EXPECT_EQ(methods[i]["readable"], captured[i].function != nullptr);
    EXPECT_EQ(methods[i]["assignable"], captured[i].setterFunction != nullptr);
  }
}

void ExpectProperties(const json& properties, const std::vector<simhost::CapturedProperty>& captured) {
  ASSERT_EQ(properties.size(), captured.size());
  for (size_t i = 0; i < captured.size(); ++i) {
    const simhost::CapturedProperty& p = captured[i];
    SCOPED_TRACE(p.name);
    EXPECT_EQ(properties[i]["name"], p.name);
    EXPECT_EQ(properties[i]["type"], p.type);
    EXPECT_EQ(properties[i]["flags"], Hex(p.flags));
    EXPECT_EQ(properties[i]["getter"], Accessor(p.getter));
    EXPECT_EQ(properties[i]["setter"], Accessor(p.setter));
    EXPECT_EQ(properties[i]["param"], p.param);
    EXPECT_EQ(properties[i]["reservedZero"], p.reservedZero);
  }
}

void ExpectDeclarations(const json& declarations, const std::vector<simhost::CapturedDeclaration>& captured) {
  ASSERT_EQ(declarations.size(), captured.size());
  for (size_t i = 0; i < captured.size(); ++i) {
    EXPECT_EQ(declarations[i]["declaration"], captured[i].declaration);
    EXPECT_EQ(declarations[i]["reservedZero"], captured[i].reservedZero);
  }
}

void ExpectRegistration(const json& j, const Registration& r) {
  SCOPED_TRACE(r.name);
  EXPECT_EQ(j["name"], r.name);
  EXPECT_EQ(j["recordVersion"], r.version);
  EXPECT_EQ(j["reservedZero"], r.reservedZero);
  EXPECT_EQ(j["nullDefinition"], r.record == nullptr);
  ExpectMethods(j["methods"], r.methods);
  ExpectDeclarations(j["constants"], r.constants);
  EXPECT_EQ(j["counts"]["methods"], r.methodCount);
  EXPECT_EQ(j["counts"]["constants"], r.constantCount);
  if (r.kind == RegistrationKind::Module) return;
  EXPECT_EQ(j["superclass"], r.superclassName ? json(*r.superclassName) : json(nullptr));
  EXPECT_EQ(j["instanceDataSize"], r.instanceDataSize);
  EXPECT_EQ(j["flags"], Hex(r.flags));
  EXPECT_EQ(j["constructor"], r.constructorFunction != nullptr);
  EXPECT_EQ(j["destructor"], r.destructorFunction != nullptr);
  ExpectProperties(j["properties"], r.properties);
  ExpectProperties(j["classProperties"], r.classProperties);
  ExpectMethods(j["classMethods"], r.classMethods);
  ExpectDeclarations(j["events"], r.events);
  EXPECT_EQ(j["counts"]["properties"], r.propertyCount);
  EXPECT_EQ(j["counts"]["events"], r.eventCount);
}

struct PluginCase {
  const char* plugin;
  const char* hostVersion;
};

std::string PluginCaseName(const testing::TestParamInfo<PluginCase>& info) {
  std::string name = std::string(info.param.plugin) + "_" + info.param.hostVersion;
  for (char& c : name) {
    if (c == '.') c = '_';
  }
  return name;
}

class InspectAnyPlugin : public testing::TestWithParam<PluginCase> {};

// The JSON holds every registration, field and member the host captured from the
// same plug-in, in the same order, and what the plug-in asked of the host.
TEST_P(InspectAnyPlugin, JsonHoldsEverythingTheHostCaptured) {
  const json document = InspectJson(GetParam().plugin, GetParam().hostVersion);
  ASSERT_TRUE(document.is_object());

  testsupport::FreshPlugin plugin(GetParam().plugin);
  simhost::SetHostVersion(std::stod(GetParam().hostVersion));
  plugin.Start();

  EXPECT_EQ(document["plugin"], PluginPath(GetParam().plugin));
  EXPECT_EQ(document["hostVersion"], std::stod(GetParam().hostVersion));
  const std::pair<const char*, RegistrationKind> sections[] = {
      {"classes", RegistrationKind::Class},
      {"classExtensions", RegistrationKind::ClassExtension},
      {"modules", RegistrationKind::Module}};
  for (const auto& [section, kind] : sections) {
    std::vector<const Registration*> captured;
    for (const Registration& r : simhost::Registrations()) {
      if (r.kind == kind) captured.push_back(&r);
    }
    ASSERT_EQ(document[section].size(), captured.size()) << section;
    for (size_t i = 0; i < captured.size(); ++i) ExpectRegistration(document[section][i], *captured[i]);
  }
  EXPECT_EQ(document["host"]["announcedVersions"], json(simhost::AnnouncedVersions()));
  std::vector<std::string> firstLookups;
  for (const std::string& name : simhost::Lookups()) {
    if (std::find(firstLookups.begin(), firstLookups.end(), name) == firstLookups.end()) firstLookups.push_back(name);
  }
  const json& lookups = document["host"]["lookups"];
  ASSERT_EQ(lookups.size(), firstLookups.size());
  for (size_t i = 0; i < firstLookups.size(); ++i) {
    EXPECT_EQ(lookups[i]["entry"], firstLookups[i]);
    EXPECT_EQ(lookups[i]["count"], simhost::LookupCount(firstLookups[i]));
    EXPECT_EQ(lookups[i]["offered"], simhost::DefaultEntryAddress(firstLookups[i]) != nullptr);
  }
  EXPECT_EQ(document["problems"], json::array());
}

// Each registration has its block in the text (classes, then extensions, then
// modules), and each captured member its line inside that block.
TEST_P(InspectAnyPlugin, TextShowsEachRegistrationAsABlockOfItsMembers) {
  const std::vector<std::string> lines = Lines(InspectText(GetParam().plugin, GetParam().hostVersion));
  testsupport::FreshPlugin plugin(GetParam().plugin);
  simhost::SetHostVersion(std::stod(GetParam().hostVersion));
  plugin.Start();
  ASSERT_FALSE(simhost::Registrations().empty());

  size_t previousBlock = 0;
  for (const RegistrationKind kind : {RegistrationKind::Class, RegistrationKind::ClassExtension,
                                      RegistrationKind::Module}) {
    for (const Registration& r : simhost::Registrations()) {
      if (r.kind != kind) continue;
      const std::string header = (kind == RegistrationKind::Class ? "Class " + r.name
                                  : kind == RegistrationKind::Module ? "Module " + r.name
                                                                     : "Extension of " + r.name);
      const std::string end = kind == RegistrationKind::Class ? "End Class"
                              : kind == RegistrationKind::Module ? "End Module" : "End Extension";
      const auto begin = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line == header || line.rfind(header + " Inherits ", 0) == 0;
      });
      ASSERT_NE(begin, lines.end()) << header;
      const size_t first = static_cast<size_t>(begin - lines.begin());
      EXPECT_GT(first + 1, previousBlock) << header << " is out of order";
      previousBlock = first;
      const auto blockEnd = std::find(begin, lines.end(), end);
      ASSERT_NE(blockEnd, lines.end()) << header;
      const std::vector<std::string> block(begin, blockEnd);
      auto lineStarting = [&](const std::string& prefix) {
        return std::count_if(block.begin(), block.end(),
                             [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
      };
      for (const simhost::CapturedMethod& m : r.methods) {
        EXPECT_EQ(lineStarting("  Method " + m.declaration + "    [flags " + Hex(m.flags)), 1) << m.declaration;
      }
      for (const simhost::CapturedMethod& m : r.classMethods) {
        EXPECT_EQ(lineStarting("  Shared Method " + m.declaration + "    [flags " + Hex(m.flags)), 1);
      }
      for (const simhost::CapturedProperty& p : r.properties) {
        EXPECT_EQ(lineStarting("  Property " + p.name + " As " + p.type + "    [flags " + Hex(p.flags)), 1);
      }
      for (const simhost::CapturedDeclaration& c : r.constants) EXPECT_EQ(lineStarting("  Const " + c.declaration), 1);
      for (const simhost::CapturedDeclaration& e : r.events) EXPECT_EQ(lineStarting("  Event " + e.declaration), 1);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Plugins, InspectAnyPlugin,
                         testing::Values(PluginCase{"FrameProbe", "2010.029"}, PluginCase{"Veilpix", "2010.029"},
                                         PluginCase{"Veilpix", "2010.028"}, PluginCase{"Tillbridge", "2010.029"},
                                         PluginCase{"Tillbridge", "5"}),
                         PluginCaseName);

struct VersionCase {
  const char* hostVersion;
  const char* flags;  // of the extension and of its method
};

class InspectVeilpix : public testing::TestWithParam<VersionCase> {};

TEST_P(InspectVeilpix, ShowsBlurOnPictureWithTheFlagsForTheHostVersion) {
  const json document = InspectJson("Veilpix", GetParam().hostVersion);
  EXPECT_EQ(document["classes"], json::array());
  EXPECT_EQ(document["modules"], json::array());
  ASSERT_EQ(document["classExtensions"].size(), 1u);
  const json& picture = document["classExtensions"][0];
  EXPECT_EQ(picture["name"], "Picture");
  EXPECT_EQ(picture["flags"], GetParam().flags);
  ASSERT_EQ(picture["methods"].size(), 1u);
  EXPECT_EQ(picture["methods"][0],
            json({{"declaration", "BlurKWZ(Radius as double) as picture"},
                  {"flags", GetParam().flags},
                  {"readable", true},
                  {"assignable", false}}));
  EXPECT_EQ(document["host"]["announcedVersions"], json({9}));

  const std::vector<std::string> lines = Lines(InspectText("Veilpix", GetParam().hostVersion));
  const std::vector<std::string> expected = {
      "Extension of Picture", std::string("  Flags ") + GetParam().flags,
      std::string("  Method BlurKWZ(Radius as double) as picture    [flags ") + GetParam().flags + ", readable]",
      "End Extension"};
  const auto at = std::search(lines.begin(), lines.end(), expected.begin(), expected.end());
  EXPECT_NE(at, lines.end()) << InspectText("Veilpix", GetParam().hostVersion);
}

INSTANTIATE_TEST_SUITE_P(HostVersions, InspectVeilpix,
                         testing::Values(VersionCase{"2010.029", "0x40004"}, VersionCase{"2010.028", "0x40000"}),
                         [](const testing::TestParamInfo<VersionCase>& test) {
                           return std::string(test.param.flags);
                         });

TEST(InspectTillbridge, ShowsTheStoreClassesInRegistrationOrderAndTheModule) {
  const json document = InspectJson("Tillbridge", "2010.029");
  std::vector<std::string> names;
  for (const json& c : document["classes"]) names.push_back(c["name"]);
  EXPECT_EQ(names, (std::vector<std::string>{"SKPaymentKWZ", "SKProductKWZ", "SKMutablePaymentKWZ",
                                             "SKProductsRequestKWZ", "SKPaymentTransactionKWZ", "SKPaymentQueueKWZ"}));
  const json handle = {{"name", "Handle"}, {"type", "Integer"}, {"flags", "0x6"}, {"getter", "host"},
                       {"setter", "host"}, {"param", 0}, {"instanceOffset", 0}, {"reservedZero", true}};
  for (const json& c : document["classes"]) {
    SCOPED_TRACE(c["name"].get<std::string>());
    EXPECT_EQ(c["flags"], "0x4");
    if (c["name"] == "SKMutablePaymentKWZ") {
      EXPECT_EQ(c["superclass"], "SKPaymentKWZ");
      EXPECT_EQ(c["instanceDataSize"], 0);
      EXPECT_EQ(c["properties"], json::array());
    } else {
      EXPECT_EQ(c["superclass"], nullptr);
      EXPECT_EQ(c["instanceDataSize"], 16);
      EXPECT_EQ(c["properties"], json::array({handle}));
    }
  }
  ASSERT_EQ(document["modules"].size(), 1u);
  const json& module = document["modules"][0];
  EXPECT_EQ(module["name"], "StoreKitKWZ");
  std::vector<std::string> constants;
  for (const json& c : module["constants"]) constants.push_back(c["declaration"]);
  EXPECT_EQ(constants, (std::vector<std::string>{"SKErrorUnknown = 0", "SKErrorClientInvalid = 1",
                                                 "SKErrorPaymentCancelled = 2", "SKErrorPaymentInvalid = 3",
                                                 "SKErrorPaymentNotAllowed = 4"}));
  std::vector<std::string> methods;
  for (const json& m : module["methods"]) methods.push_back(m["declaration"]);
  EXPECT_EQ(methods, (std::vector<std::string>{"SKErrorDomain as string", "available as Boolean"}));

  const std::string text = InspectText("Tillbridge");
  for (const char* line : {"Class SKMutablePaymentKWZ Inherits SKPaymentKWZ\n",
                           "  Property Handle As Integer    [flags 0x6, stored by the host at instance offset 0]\n",
                           "  Method productIdentifier as string    [flags 0x4, assignable]\n",
                           "  Shared Method paymentWithProduct(product as SKProductKWZ) as SKPaymentKWZ    "
                           "[flags 0x4, readable]\n",
                           "Module StoreKitKWZ\n", "  Const SKErrorPaymentNotAllowed = 4\n",
                           "  Announced plug-in interface version: 9\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

// Another author's plug-in, with every member kind and every oddity a record can
// have: the text says each in the host's terms, and notes what is not as the host
// expects.
TEST(InspectOddPlugin, ShowsEveryMemberKindAndNotesWhatIsOdd) {
  const std::string text = InspectText("OddPlugin");
  for (const char* line : {
           "Class OddThing Inherits Object\n",
           "  Instance data: 12 bytes; flags 0xABC; constructor: plug-in function; destructor: none\n",
           "  Note: record version 8 (this host reads version 9)\n",
           "  Note: reserved words of the record are not zero\n",
           "  Note: eventCount is 2 but no list was read (null list or count below 1)\n",
           "  Property Count As Integer    [flags 0x1, get: function, set: none, param 7]\n",
           "  Property Tag As String    [flags 0x2, stored by the host at instance offset 4]\n",
           "  Shared Property Shared As Boolean    [flags 0x3, get: host, set: function, param 0, "
           "reserved words not zero]\n",
           "  Method Level as integer    [flags 0x10, readable and assignable]\n",
           "  Method Label as string    [flags 0x20, assignable]\n",
           "  Method Reset()    [flags 0x30, readable]\n",
           "  Shared Method Make() as OddThing    [flags 0x40, readable]\n",
           "  Const kOdd = \"a \\ b\"\n",
           "  Const kEven = 2    [reserved words not zero]\n",
           "A null class definition was registered\n",
           "Extension of Window\n  Flags 0x1\n  Event Changed(value as integer)\nEnd Extension\n",
           "Module OddModule\n  Note: constantCount is 3 but no list was read (null list or count below 1)\n"
           "  Method Answer() as integer    [flags 0x4, readable]\nEnd Module\n",
           "  Announced plug-in interface version: 7\n",
           "    NoSuchEntryKWZ                   2 times, not offered by this host\n",
           "Problems the host noticed\n  a null class definition was registered\n",
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << text;
  }

  const json document = InspectJson("OddPlugin", "2010.029");
  ASSERT_EQ(document["classes"].size(), 2u);
  EXPECT_EQ(document["classes"][0]["constants"][0]["declaration"], "kOdd = \"a \\ b\"");
  EXPECT_EQ(document["classes"][0]["properties"][1]["instanceOffset"], 4);
  EXPECT_EQ(document["classes"][0]["properties"][0]["instanceOffset"], nullptr);
  EXPECT_EQ(document["classes"][1]["nullDefinition"], true);
  EXPECT_EQ(document["problems"], json({"a null class definition was registered"}));
}

}  // namespace
