// Tillbridge end to end: loading and registering, and every member called as
// project code calls it, nil arguments included.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "../store/expected_declarations.h"
#include "fault_runs.h"
#include "simhost/instances.h"
#include "simhost/members.h"

namespace faulttest {
namespace {

using simhost::MemberResult;
using simhost::MemberValue;
using storetest::Behaviour;
using storetest::ExpectedClass;
using storetest::ExpectedMethod;

const std::optional<const void*> kNilResult = static_cast<const void*>(nullptr);
const MemberValue kNil = static_cast<const void*>(nullptr);

// The definitions in the order the host must receive them, class or module.
struct Definition {
  std::string name;
  bool isModule;
};

std::vector<Definition> RegistrationOrder() {
  std::vector<Definition> order;
  for (const ExpectedClass& c : storetest::ExpectedClasses()) order.push_back({c.name, false});
  order.push_back({storetest::ExpectedStoreKitModule().name, true});
  return order;
}

bool ClassesReachable(const ScenarioRun& run) { return !run.Touches("PluginRegisterClass"); }
bool ModuleReachable(const ScenarioRun& run) { return !run.Touches("PluginRegisterModule"); }

void TillbridgeLoads(ScenarioRun& run) {
  run.Start();
  // Everything the host could take is registered, in order; a missing registration
  // entry leaves out only what it would have registered.
  std::vector<std::string> expected;
  for (const Definition& d : RegistrationOrder()) {
    if (d.isModule ? ModuleReachable(run) : ClassesReachable(run)) expected.push_back(d.name);
  }
  std::vector<std::string> registered;
  for (const simhost::Registration& r : simhost::Registrations()) {
    registered.push_back(r.name);
    EXPECT_EQ(r.instanceDataSize % 16, 0) << r.name;
  }
  EXPECT_EQ(registered, expected);
  const std::vector<int32_t> announced = run.Touches("RegisterPluginVersion") ? std::vector<int32_t>{}
                                                                              : std::vector<int32_t>{9};
  EXPECT_EQ(simhost::AnnouncedVersions(), announced);
}

// The value an assignment passes: of the declaration's result type.
MemberValue AssignedValue(ScenarioRun& run, const std::string& declaration) {
  if (declaration.size() >= 10 && declaration.compare(declaration.size() - 10, 10, "as integer") == 0) {
    return int32_t{7};
  }
  return run.Own(simhost::CreateObject(simhost::ObjectKind::Instance, "Assigned"));
}

const char* NilMessage(Behaviour behaviour) {
  switch (behaviour) {
    case Behaviour::RequireProduct:
    case Behaviour::RequireProductReturnNil: return "product is nil";
    case Behaviour::RequirePayment: return "payment is nil";
    default: return nullptr;
  }
}

// The result a member gives: its inert value, whatever the host refused; an
// array member may give nil when the host cannot make the array.
void ExpectInertResult(ScenarioRun& run, const ExpectedMethod& m, const std::optional<MemberResult>& result) {
  ASSERT_TRUE(result.has_value()) << m.declaration;
  switch (m.behaviour) {
    case Behaviour::ReturnZero:
      if (simhost::BoolResult(result)) {
        EXPECT_FALSE(*simhost::BoolResult(result)) << m.declaration;
      } else {
        EXPECT_EQ(simhost::ReferenceResult(result), kNilResult) << m.declaration;
      }
      break;
    case Behaviour::ReturnFalse: EXPECT_EQ(simhost::BoolResult(result), std::optional<bool>(false)); break;
    case Behaviour::ReturnMinusOneDouble: EXPECT_EQ(simhost::DoubleResult(result), std::optional<double>(-1.0)); break;
    case Behaviour::ReturnMinusOne: EXPECT_EQ(simhost::Int32Result(result), std::optional<int32_t>(-1)); break;
    case Behaviour::DoNothing:
    case Behaviour::RequireProduct:
    case Behaviour::RequirePayment: EXPECT_TRUE(simhost::NoResult(result)) << m.declaration; break;
    case Behaviour::RequireProductReturnNil: EXPECT_EQ(simhost::ReferenceResult(result), kNilResult); break;
    case Behaviour::NewEmptyObjectArray: {
      const auto array = simhost::ReferenceResult(result);
      ASSERT_TRUE(array.has_value()) << m.declaration;
      if (*array == nullptr) {
        EXPECT_TRUE(run.Touches("RuntimeArrayCreateSingleDimBoundedArray")) << "nil array from a willing host";
        break;
      }
      const auto shape = simhost::ArrayShapeOf(*array);
      ASSERT_TRUE(shape.has_value());
      EXPECT_EQ(shape->elementType, 4);
      EXPECT_EQ(shape->upperBound, -1);
      EXPECT_EQ(simhost::References(*array), 1) << "the result's one reference goes to the host";
      run.Own(*array);
      break;
    }
  }
}

// After a nil argument: one NilObjectException with the member's message, as far
// as the host let it be built; none only when the host could not make or raise it.
void ExpectNilRaised(const ScenarioRun& run, const char* message, size_t raisedBefore, const char* declaration) {
  SCOPED_TRACE(declaration);
  const auto raised = simhost::RaisedExceptions();
  if (message == nullptr) {
    EXPECT_EQ(raised.size(), raisedBefore) << "raised for a member without a nil check";
    return;
  }
  if (raised.size() == raisedBefore) {
    EXPECT_TRUE(run.Touches("PluginNewInstance") || run.Touches("RuntimeRaiseException")) << "nothing raised";
    return;
  }
  ASSERT_EQ(raised.size(), raisedBefore + 1);
  const simhost::RaisedException& e = raised.back();
  EXPECT_EQ(e.className, "NilObjectException");
  if (run.Touches("REALSetPropValueString")) {
    EXPECT_FALSE(e.message.has_value());
  } else if (run.Touches("REALBuildString")) {
    EXPECT_TRUE(e.message == std::optional<std::string>(message) || e.message == std::optional<std::string>(""));
  } else {
    EXPECT_EQ(e.message, std::optional<std::string>(message));
  }
}

void CallMember(ScenarioRun& run, HostObject instance, const std::string& owner, const ExpectedMethod& m) {
  const bool classMethod = instance == nullptr;
  auto call = [&](const std::vector<MemberValue>& arguments) {
    return classMethod ? simhost::CallClassMethod(owner, m.declaration, arguments)
                       : simhost::CallMethod(instance, m.declaration, arguments);
  };
  if (m.assignmentOnly) {
    EXPECT_TRUE(simhost::AssignMember(instance, m.declaration, AssignedValue(run, m.declaration))) << m.declaration;
    return;
  }
  if (m.objectParameters == 0) {
    ExpectInertResult(run, m, call({}));
    return;
  }
  const MemberValue object = run.Own(simhost::CreateObject(simhost::ObjectKind::Instance, "Argument"));
  size_t raisedBefore = simhost::RaisedExceptions().size();
  ExpectInertResult(run, m, call({object}));
  EXPECT_EQ(simhost::RaisedExceptions().size(), raisedBefore) << m.declaration << " raised for an object";
  raisedBefore = simhost::RaisedExceptions().size();
  ExpectInertResult(run, m, call({kNil}));
  ExpectNilRaised(run, NilMessage(m.behaviour), raisedBefore, m.declaration);
}

void TillbridgeMembers(ScenarioRun& run) {
  run.Start();
  if (ClassesReachable(run)) {
    for (const ExpectedClass& c : storetest::ExpectedClasses()) {
      HostObject instance = run.Own(simhost::NewInstance(c.name));
      for (const ExpectedMethod& m : c.methods) CallMember(run, instance, c.name, m);
      for (const ExpectedMethod& m : c.classMethods) CallMember(run, nullptr, c.name, m);
    }
  }
  if (ModuleReachable(run)) {
    const storetest::ExpectedModule& module = storetest::ExpectedStoreKitModule();
    for (const ExpectedMethod& m : module.methods) CallMember(run, nullptr, module.name, m);
  }
}

}  // namespace

const std::vector<Scenario>& StoreScenarios() {
  static const std::vector<Scenario> scenarios = {
      {"TillbridgeLoads", "Tillbridge", nullptr, &TillbridgeLoads, {}, 0},
      {"TillbridgeMembers", "Tillbridge", nullptr, &TillbridgeMembers,
       {"REALBuildString", "PluginNewInstance", "RuntimeArrayCreateSingleDimBoundedArray"}, 0},
  };
  return scenarios;
}

}  // namespace faulttest
