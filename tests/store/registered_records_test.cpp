// Tillbridge's declaration records as the host receives them: every class and the
// module against the expected declarations, the order of registration, one
// function per behaviour, and a host that offers less than everything.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../support/fresh_plugin.h"
#include "expected_declarations.h"
#include "simhost/host.h"

namespace {

using simhost::CapturedMethod;
using simhost::Registration;
using storetest::Behaviour;
using storetest::ExpectedClass;
using storetest::ExpectedMethod;
using testsupport::FreshPlugin;

std::vector<std::string> Texts(const std::vector<simhost::CapturedDeclaration>& declarations) {
  std::vector<std::string> texts;
  for (const auto& d : declarations) {
    texts.push_back(d.declaration);
    EXPECT_TRUE(d.reservedZero) << d.declaration;
  }
  return texts;
}

std::vector<std::string> Texts(const std::vector<const char*>& declarations) {
  return std::vector<std::string>(declarations.begin(), declarations.end());
}

void ExpectMethods(const std::vector<CapturedMethod>& captured, int32_t count,
                   const std::vector<ExpectedMethod>& expected) {
  EXPECT_EQ(count, static_cast<int32_t>(expected.size()));
  ASSERT_EQ(captured.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].declaration);
    EXPECT_EQ(captured[i].declaration, expected[i].declaration);
    EXPECT_EQ(captured[i].flags, expected[i].flags);
    EXPECT_EQ(captured[i].function == nullptr, expected[i].assignmentOnly);
    EXPECT_EQ(captured[i].setterFunction != nullptr, expected[i].assignmentOnly);
  }
}

class RegisteredClass : public ::testing::TestWithParam<ExpectedClass> {
 protected:
  RegisteredClass() : plugin_("Tillbridge") { plugin_.Start(); }
  FreshPlugin plugin_;
};

TEST_P(RegisteredClass, ReachesTheHostAsDeclared) {
  const ExpectedClass& expected = GetParam();
  const Registration* r = simhost::FindRegistration(expected.name);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->kind, simhost::RegistrationKind::Class);
  EXPECT_EQ(r->version, 9);
  EXPECT_EQ(r->flags, 4u);
  EXPECT_TRUE(r->reservedZero);
  if (expected.superclassName == nullptr) {
    EXPECT_FALSE(r->superclassName.has_value());
  } else {
    EXPECT_EQ(r->superclassName, std::optional<std::string>(expected.superclassName));
  }
  EXPECT_EQ(r->instanceDataSize, expected.instanceDataSize);
  EXPECT_EQ(r->constructorFunction != nullptr, expected.keepsHandle);
  EXPECT_EQ(r->destructorFunction != nullptr, expected.keepsHandle);

  EXPECT_EQ(r->propertyCount, expected.keepsHandle ? 1 : 0);
  if (expected.keepsHandle) {
    ASSERT_EQ(r->properties.size(), 1u);
    const simhost::CapturedProperty& handle = r->properties[0];
    EXPECT_EQ(handle.name, "Handle");
    EXPECT_EQ(handle.type, "Integer");
    EXPECT_EQ(handle.flags, 6u);
    EXPECT_EQ(handle.getter, kHostAccessor);
    EXPECT_EQ(handle.setter, kHostAccessor);
    EXPECT_EQ(handle.param, 0);
    EXPECT_TRUE(handle.reservedZero);
  } else {
    EXPECT_TRUE(r->properties.empty());
  }
  EXPECT_EQ(r->classPropertyCount, 0);
  EXPECT_TRUE(r->classProperties.empty());

  {
    SCOPED_TRACE("methods");
    ExpectMethods(r->methods, r->methodCount, expected.methods);
  }
  {
    SCOPED_TRACE("class methods");
    ExpectMethods(r->classMethods, r->classMethodCount, expected.classMethods);
  }
  EXPECT_EQ(r->eventCount, static_cast<int32_t>(expected.events.size()));
  EXPECT_EQ(Texts(r->events), Texts(expected.events));
  EXPECT_EQ(r->constantCount, static_cast<int32_t>(expected.constants.size()));
  EXPECT_EQ(Texts(r->constants), Texts(expected.constants));
}

INSTANTIATE_TEST_SUITE_P(Tillbridge, RegisteredClass, ::testing::ValuesIn(storetest::ExpectedClasses()),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(RegisteredModule, ReachesTheHostAsDeclared) {
  FreshPlugin plugin("Tillbridge");
  plugin.Start();
  const storetest::ExpectedModule& expected = storetest::ExpectedStoreKitModule();
  const Registration* r = simhost::FindRegistration(expected.name);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->kind, simhost::RegistrationKind::Module);
  EXPECT_EQ(r->version, 9);
  EXPECT_TRUE(r->reservedZero);
  ExpectMethods(r->methods, r->methodCount, expected.methods);
  EXPECT_EQ(r->constantCount, static_cast<int32_t>(expected.constants.size()));
  EXPECT_EQ(Texts(r->constants), Texts(expected.constants));
}

// The registered names and instance data sizes, in the order the host got them.
std::vector<std::pair<std::string, int32_t>> RegisteredSizes() {
  std::vector<std::pair<std::string, int32_t>> sizes;
  for (const Registration& r : simhost::Registrations()) sizes.emplace_back(r.name, r.instanceDataSize);
  return sizes;
}

const std::vector<std::pair<std::string, int32_t>> kRegisteredInOrder = {
    {"SKPaymentKWZ", 16},        {"SKProductKWZ", 16},           {"SKMutablePaymentKWZ", 0},
    {"SKProductsRequestKWZ", 16}, {"SKPaymentTransactionKWZ", 16}, {"SKPaymentQueueKWZ", 16},
    {"StoreKitKWZ", 0}};

TEST(Registration, SixClassesInOrderThenTheModuleWithRoundedSizes) {
  FreshPlugin plugin("Tillbridge");
  plugin.Start();
  EXPECT_EQ(simhost::CallSequence(),
            (std::vector<std::string>{"RegisterPluginVersion", "REALGetRBVersion", "PluginRegisterClass",
                                      "PluginRegisterClass", "PluginRegisterClass", "PluginRegisterClass",
                                      "PluginRegisterClass", "PluginRegisterClass", "PluginRegisterModule"}));
  EXPECT_EQ(RegisteredSizes(), kRegisteredInOrder);
  EXPECT_EQ(simhost::Registrations().back().kind, simhost::RegistrationKind::Module);
  EXPECT_TRUE(simhost::LedgerReport().empty());
}

TEST(Registration, AnyHostVersionGetsTheSameRecords) {
  const double versions[] = {0.0, 2010.028, 2010.029, 2019.1, std::numeric_limits<double>::quiet_NaN()};
  for (double version : versions) {
    SCOPED_TRACE(version);
    FreshPlugin plugin("Tillbridge");
    simhost::SetHostVersion(version);
    plugin.Start();
    EXPECT_EQ(RegisteredSizes(), kRegisteredInOrder);
    for (const Registration& r : simhost::Registrations()) {
      if (r.kind == simhost::RegistrationKind::Class) {
        EXPECT_EQ(r.flags, 4u) << r.name;
      }
      for (const CapturedMethod& m : r.methods) EXPECT_TRUE(m.flags == 4u || m.flags == 0x84u) << m.declaration;
    }
  }
}

TEST(Registration, WithoutRealGetRBVersionTheSameRecordsGoToTheHost) {
  FreshPlugin plugin("Tillbridge");
  simhost::SetEntryAbsent("REALGetRBVersion");
  plugin.Start();
  EXPECT_EQ(RegisteredSizes(), kRegisteredInOrder);
}

// Every function of every record, by the behaviour the expected declarations give
// it: one function serves each behaviour, and no two behaviours share one.
TEST(Registration, OneFunctionPerBehaviourBoundToEveryDeclarationWithIt) {
  FreshPlugin plugin("Tillbridge");
  plugin.Start();
  std::map<Behaviour, std::set<PluginFunction>> functions;
  auto collect = [&](const std::vector<CapturedMethod>& captured, const std::vector<ExpectedMethod>& expected) {
    ASSERT_EQ(captured.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      functions[expected[i].behaviour].insert(expected[i].assignmentOnly ? captured[i].setterFunction
                                                                         : captured[i].function);
    }
  };
  for (const ExpectedClass& expected : storetest::ExpectedClasses()) {
    const Registration* r = simhost::FindRegistration(expected.name);
    ASSERT_NE(r, nullptr) << expected.name;
    collect(r->methods, expected.methods);
    collect(r->classMethods, expected.classMethods);
    if (expected.keepsHandle) {
      functions[Behaviour::DoNothing].insert(r->constructorFunction);
      functions[Behaviour::DoNothing].insert(r->destructorFunction);
    }
  }
  const Registration* module = simhost::FindRegistration("StoreKitKWZ");
  ASSERT_NE(module, nullptr);
  collect(module->methods, storetest::ExpectedStoreKitModule().methods);

  std::set<PluginFunction> distinct;
  for (const auto& [behaviour, bound] : functions) {
    SCOPED_TRACE(storetest::BehaviourName(behaviour));
    ASSERT_EQ(bound.size(), 1u);
    EXPECT_NE(*bound.begin(), nullptr);
    distinct.insert(*bound.begin());
  }
  EXPECT_EQ(functions.size(), 9u) << "every behaviour is bound somewhere";
  EXPECT_EQ(distinct.size(), functions.size());
}

struct MissingEntriesCase {
  const char* label;
  std::vector<std::string> absent;
  std::vector<std::string> registered;
};

void PrintTo(const MissingEntriesCase& c, std::ostream* os) { *os << c.label; }

class MissingRegistrationEntries : public ::testing::TestWithParam<MissingEntriesCase> {};

TEST_P(MissingRegistrationEntries, RegisterWhatTheHostOffersAndGoOn) {
  FreshPlugin plugin("Tillbridge");
  for (const std::string& name : GetParam().absent) simhost::SetEntryAbsent(name);
  plugin.Start();
  std::vector<std::string> names;
  for (const Registration& r : simhost::Registrations()) names.push_back(r.name);
  EXPECT_EQ(names, GetParam().registered);
  EXPECT_TRUE(simhost::LedgerReport().empty());
}

const std::vector<std::string> kClassNames = {"SKPaymentKWZ",         "SKProductKWZ",
                                              "SKMutablePaymentKWZ",  "SKProductsRequestKWZ",
                                              "SKPaymentTransactionKWZ", "SKPaymentQueueKWZ"};

INSTANTIATE_TEST_SUITE_P(
    Tillbridge, MissingRegistrationEntries,
    ::testing::Values(MissingEntriesCase{"NoClasses", {"PluginRegisterClass"}, {"StoreKitKWZ"}},
                      MissingEntriesCase{"NoModule", {"PluginRegisterModule"}, kClassNames},
                      MissingEntriesCase{"Nothing", {"PluginRegisterClass", "PluginRegisterModule"}, {}},
                      MissingEntriesCase{"NoVersionEntries",
                                         {"RegisterPluginVersion", "REALGetRBVersion"},
                                         [] {
                                           auto all = kClassNames;
                                           all.push_back("StoreKitKWZ");
                                           return all;
                                         }()}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.label); });

TEST(Registration, ResolverOfferingNothingLoadsWithoutRegistering) {
  FreshPlugin plugin("Tillbridge");
  for (const std::string& name : simhost::EntryNames()) simhost::SetEntryAbsent(name);
  plugin.Start();
  EXPECT_TRUE(simhost::Calls().empty());
  EXPECT_TRUE(simhost::Registrations().empty());
  // Each of the six class registrations asked again: a missing entry is not cached.
  EXPECT_EQ(simhost::LookupCount("PluginRegisterClass"), 6);
}

}  // namespace
