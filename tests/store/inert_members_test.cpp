// Every member of Tillbridge called through the host as project code would call
// it: the inert results, the nil checks and the exceptions they raise, the empty
// arrays, the assignments, and Handle, which only project code changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expected_declarations.h"
#include "simhost/instances.h"
#include "simhost/members.h"
#include "store_host.h"

namespace {

using simhost::CallArg;
using simhost::MemberResult;
using simhost::MemberValue;
using storetest::Behaviour;
using storetest::ExpectedMethod;
using storetest::StoreHost;

const MemberValue kNil = static_cast<const void*>(nullptr);
const std::optional<const void*> kNilResult = static_cast<const void*>(nullptr);
constexpr int32_t kProjectHandle = 0x5A5AA5A5;

class InertMembers : public StoreHost {
 protected:
  // What the member's behaviour must have produced: its result, and the host calls
  // it made (none, but for the array).
  void ExpectBehaviour(const ExpectedMethod& m, const std::optional<MemberResult>& result, size_t mark) {
    SCOPED_TRACE(m.declaration);
    ASSERT_TRUE(result.has_value());
    const auto calls = CallsSince(mark);
    switch (m.behaviour) {
      case Behaviour::ReturnZero:
        if (simhost::BoolResult(result)) {
          EXPECT_FALSE(*simhost::BoolResult(result));
        } else {
          EXPECT_EQ(simhost::ReferenceResult(result), kNilResult);
        }
        break;
      case Behaviour::ReturnFalse: EXPECT_EQ(simhost::BoolResult(result), std::optional<bool>(false)); break;
      case Behaviour::ReturnMinusOneDouble:
        EXPECT_EQ(simhost::DoubleResult(result), std::optional<double>(-1.0));
        break;
      case Behaviour::ReturnMinusOne: EXPECT_EQ(simhost::Int32Result(result), std::optional<int32_t>(-1)); break;
      case Behaviour::DoNothing:
      case Behaviour::RequireProduct:
      case Behaviour::RequirePayment: EXPECT_TRUE(simhost::NoResult(result)); break;
      case Behaviour::RequireProductReturnNil: EXPECT_EQ(simhost::ReferenceResult(result), kNilResult); break;
      case Behaviour::NewEmptyObjectArray: {
        const auto array = simhost::ReferenceResult(result);
        ASSERT_TRUE(array.has_value());
        ASSERT_NE(*array, nullptr);
        const auto shape = simhost::ArrayShapeOf(*array);
        ASSERT_TRUE(shape.has_value());
        EXPECT_EQ(shape->elementType, 4);
        EXPECT_EQ(shape->upperBound, -1);
        EXPECT_EQ(simhost::References(*array), 1) << "the one reference goes to the host with the result";
        Own(static_cast<HostObject>(const_cast<void*>(*array)));
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].entry, "RuntimeArrayCreateSingleDimBoundedArray");
        EXPECT_EQ(calls[0].args, (std::vector<CallArg>{int64_t{4}, int64_t{-1}}));
        return;
      }
    }
    EXPECT_TRUE(calls.empty()) << "an inert member calls nothing of the host, " << calls.size() << " call(s)";
  }

  // An object argument for every object parameter: a live host object.
  std::vector<MemberValue> ArgumentsFor(const ExpectedMethod& m) {
    if (m.objectParameters == 0) return {};
    return {static_cast<const void*>(Own(simhost::CreateObject(simhost::ObjectKind::Instance, "Argument")))};
  }
};

TEST_F(InertMembers, EveryMemberGivesItsInertResultAndLeavesHandleAlone) {
  for (const storetest::ExpectedClass& c : storetest::ExpectedClasses()) {
    SCOPED_TRACE(c.name);
    HostObject instance = New(c.name);
    ASSERT_TRUE(simhost::AssignIntegerProperty(instance, "Handle", kProjectHandle));
    for (const ExpectedMethod& m : c.methods) {
      if (m.assignmentOnly) continue;
      const auto arguments = ArgumentsFor(m);
      const size_t mark = Mark();
      ExpectBehaviour(m, simhost::CallMethod(instance, m.declaration, arguments), mark);
    }
    for (const ExpectedMethod& m : c.classMethods) {
      const auto arguments = ArgumentsFor(m);
      const size_t mark = Mark();
      ExpectBehaviour(m, simhost::CallClassMethod(c.name, m.declaration, arguments), mark);
    }
    EXPECT_EQ(simhost::ReadIntegerProperty(instance, "Handle"), std::optional<int32_t>(kProjectHandle));
  }
  for (const ExpectedMethod& m : storetest::ExpectedStoreKitModule().methods) {
    const size_t mark = Mark();
    ExpectBehaviour(m, simhost::CallClassMethod("StoreKitKWZ", m.declaration), mark);
  }
  EXPECT_TRUE(simhost::RaisedExceptions().empty());
}

TEST_F(InertMembers, ProceduresAcceptNilArgumentsWithoutRaising) {
  const struct {
    const char* className;
    const char* declaration;
  } cases[] = {{"SKPaymentQueueKWZ", "addPayment(payment as SKPaymentKWZ)"},
               {"SKPaymentQueueKWZ", "finishTransaction(transaction as SKPaymentTransactionKWZ)"},
               {"SKProductsRequestKWZ", "Constructor(productIdentifiers() as string)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.declaration);
    HostObject instance = New(c.className);
    const size_t mark = Mark();
    EXPECT_TRUE(simhost::NoResult(simhost::CallMethod(instance, c.declaration, {kNil})));
    EXPECT_TRUE(CallsSince(mark).empty());
  }
  EXPECT_TRUE(simhost::RaisedExceptions().empty());
}

TEST_F(InertMembers, RequestsAndQueuesNeverAskTheHostForAnything) {
  HostObject request = New("SKProductsRequestKWZ");
  HostObject queue = New("SKPaymentQueueKWZ");
  HostObject payment = New("SKPaymentKWZ");
  const size_t lookups = simhost::Lookups().size();
  const size_t mark = Mark();
  for (const char* declaration : {"start", "cancel", "cancel", "start", "start"}) {
    ASSERT_TRUE(simhost::NoResult(simhost::CallMethod(request, declaration)));
  }
  ASSERT_TRUE(simhost::NoResult(simhost::CallMethod(queue, "restoreCompletedTransactions")));
  ASSERT_TRUE(simhost::NoResult(simhost::CallMethod(queue, "addPayment(payment as SKPaymentKWZ)", {payment})));
  ASSERT_TRUE(simhost::NoResult(simhost::CallMethod(queue, "restoreCompletedTransactions")));
  // No event could run: nothing was called, nor even looked up.
  EXPECT_TRUE(CallsSince(mark).empty());
  EXPECT_EQ(simhost::Lookups().size(), lookups);
}

TEST_F(InertMembers, TransactionsIsANewEmptyArrayOnEveryCall) {
  HostObject queue = New("SKPaymentQueueKWZ");
  std::vector<const void*> arrays;
  for (int call = 0; call < 3; ++call) {
    const auto array = simhost::ReferenceResult(simhost::CallMethod(queue, "transactions as SKPaymentTransactionKWZ()"));
    ASSERT_TRUE(array.has_value() && *array != nullptr);
    Own(static_cast<HostObject>(const_cast<void*>(*array)));
    for (const void* earlier : arrays) EXPECT_NE(*array, earlier);
    arrays.push_back(*array);
    const auto shape = simhost::ArrayShapeOf(*array);
    ASSERT_TRUE(shape.has_value());
    EXPECT_EQ(shape->elementType, 4);
    EXPECT_EQ(shape->upperBound, -1);
  }
  EXPECT_EQ(simhost::CallsOf("RuntimeArrayCreateSingleDimBoundedArray").size(), 3u);
}

TEST_F(InertMembers, TransactionsIsNilWhenTheHostOffersNoArrays) {
  simhost::SetEntryAbsent("RuntimeArrayCreateSingleDimBoundedArray");
  HostObject queue = New("SKPaymentQueueKWZ");
  for (int call = 0; call < 2; ++call) {
    EXPECT_EQ(simhost::ReferenceResult(simhost::CallMethod(queue, "transactions as SKPaymentTransactionKWZ()")),
              kNilResult);
  }
  EXPECT_EQ(simhost::LookupCount("RuntimeArrayCreateSingleDimBoundedArray"), 2) << "asked again on every call";
  EXPECT_TRUE(simhost::CallsOf("RuntimeArrayCreateSingleDimBoundedArray").empty());
}

TEST_F(InertMembers, MutablePaymentAcceptsAssignmentsAndStillReadsAsInert) {
  HostObject payment = New("SKMutablePaymentKWZ");
  HostString identifier = simhost::CreateString("com.example.coins");
  Own(reinterpret_cast<HostObject>(identifier));
  HostObject data = Own(simhost::CreateObject(simhost::ObjectKind::Instance, "Memoryblock"));
  const size_t mark = Mark();
  EXPECT_TRUE(simhost::AssignMember(payment, "productIdentifier as string", static_cast<const void*>(identifier)));
  EXPECT_TRUE(simhost::AssignMember(payment, "quantity as integer", int32_t{5}));
  EXPECT_TRUE(simhost::AssignMember(payment, "requestData as Memoryblock", static_cast<const void*>(data)));
  EXPECT_TRUE(CallsSince(mark).empty());
  EXPECT_EQ(simhost::References(identifier), 1) << "the assigned value is not kept";
  // Reading goes to the members inherited from SKPaymentKWZ.
  EXPECT_EQ(simhost::ReferenceResult(simhost::CallMethod(payment, "productIdentifier as string")), kNilResult);
  EXPECT_EQ(simhost::Int32Result(simhost::CallMethod(payment, "quantity as integer")), std::optional<int32_t>(-1));
  EXPECT_EQ(simhost::ReferenceResult(simhost::CallMethod(payment, "requestData as Memoryblock")), kNilResult);
  EXPECT_EQ(simhost::ReferenceResult(simhost::CallMethod(payment, "copy as SKPaymentKWZ")), kNilResult);
}

TEST_F(InertMembers, HandleReadsBackWhatProjectCodeAssigned) {
  for (const char* className : {"SKPaymentKWZ", "SKProductKWZ", "SKMutablePaymentKWZ", "SKProductsRequestKWZ",
                                "SKPaymentTransactionKWZ", "SKPaymentQueueKWZ"}) {
    SCOPED_TRACE(className);
    HostObject first = New(className);
    HostObject second = New(className);
    EXPECT_EQ(simhost::ReadIntegerProperty(first, "Handle"), std::optional<int32_t>(0));
    for (int32_t value : {1, -1, INT32_MIN, INT32_MAX, kProjectHandle}) {
      ASSERT_TRUE(simhost::AssignIntegerProperty(first, "Handle", value));
      EXPECT_EQ(simhost::ReadIntegerProperty(first, "Handle"), std::optional<int32_t>(value));
    }
    EXPECT_EQ(simhost::ReadIntegerProperty(second, "Handle"), std::optional<int32_t>(0)) << "each instance its own";
  }
}

TEST_F(InertMembers, MutablePaymentKeepsHandleInTheDataOfItsSuperclass) {
  HostObject payment = New("SKMutablePaymentKWZ");
  EXPECT_EQ(simhost::InstanceDataSize(payment, "SKMutablePaymentKWZ"), std::optional<size_t>(0));
  EXPECT_EQ(simhost::InstanceDataSize(payment, "SKPaymentKWZ"), std::optional<size_t>(16));
  ASSERT_TRUE(simhost::AssignIntegerProperty(payment, "Handle", 42));
  EXPECT_EQ(simhost::ReadIntegerProperty(payment, "Handle"), std::optional<int32_t>(42));
}

// A nil check: the member, its message, and whether it is a class method (which
// also yields nil).
struct NilCheckCase {
  const char* label;
  const char* className;
  const char* declaration;
  bool classMethod;
  const char* message;
};

void PrintTo(const NilCheckCase& c, std::ostream* os) { *os << c.label; }

class NilChecks : public StoreHost, public ::testing::WithParamInterface<NilCheckCase> {
 protected:
  std::optional<MemberResult> Call(const MemberValue& argument) {
    const NilCheckCase& c = GetParam();
    if (c.classMethod) return simhost::CallClassMethod(c.className, c.declaration, {argument});
    return simhost::CallMethod(New(c.className), c.declaration, {argument});
  }

  void ExpectCompletedNormally(const std::optional<MemberResult>& result) {
    if (GetParam().classMethod) {
      EXPECT_EQ(simhost::ReferenceResult(result), kNilResult);
    } else {
      EXPECT_TRUE(simhost::NoResult(result));
    }
  }
};

TEST_P(NilChecks, AnObjectPassesSilently) {
  HostObject product = Own(simhost::CreateObject(simhost::ObjectKind::Instance, "Argument"));
  const size_t mark = Mark();
  ExpectCompletedNormally(Call(static_cast<const void*>(product)));
  EXPECT_TRUE(CallsSince(mark).empty());
  EXPECT_TRUE(simhost::RaisedExceptions().empty());
}

TEST_P(NilChecks, NilRaisesNilObjectExceptionWithItsMessageThenReturns) {
  const std::string message = GetParam().message;
  const size_t mark = Mark();
  ExpectCompletedNormally(Call(kNil));

  const auto raised = simhost::RaisedExceptions();
  ASSERT_EQ(raised.size(), 1u);
  EXPECT_EQ(raised[0].className, "NilObjectException");
  EXPECT_EQ(raised[0].message, std::optional<std::string>(message));

  // The host calls, in exactly this order and with these arguments.
  const auto calls = CallsSince(mark);
  std::vector<std::string> sequence;
  for (const auto& call : calls) sequence.push_back(call.entry);
  ASSERT_EQ(sequence, (std::vector<std::string>{"PluginNewInstance", "REALBuildString", "REALSetStringEncoding",
                                                "RuntimeRaiseException", "REALSetPropValueString",
                                                "REALUnlockString"}));
  const void* exception = raised[0].exception;
  ASSERT_FALSE(calls[2].args.empty());
  const CallArg text = calls[2].args[0];
  EXPECT_EQ(calls[0].args, (std::vector<CallArg>{std::string("NilObjectException")}));
  EXPECT_EQ(calls[1].args, (std::vector<CallArg>{message, int64_t{14}}));
  EXPECT_EQ(calls[2].args, (std::vector<CallArg>{text, int64_t{0x600}}));
  EXPECT_EQ(calls[3].args, (std::vector<CallArg>{exception}));
  EXPECT_EQ(calls[4].args, (std::vector<CallArg>{exception, std::string("Message"), text}));
  EXPECT_EQ(calls[5].args, (std::vector<CallArg>{text}));

  const void* string = std::get<const void*>(text);
  EXPECT_EQ(simhost::StringBytes(string), message);
  EXPECT_EQ(simhost::StringEncoding(string), 0x600u);
  EXPECT_EQ(simhost::References(string), 1) << "only the property holds the message now";
  EXPECT_EQ(simhost::References(exception), 1) << "the raised exception is the host's";
}

INSTANTIATE_TEST_SUITE_P(
    Tillbridge, NilChecks,
    ::testing::Values(
        NilCheckCase{"PaymentFromProduct", "SKPaymentKWZ", "Constructor(product as SKProductKWZ)", false,
                     "product is nil"},
        NilCheckCase{"MutablePaymentFromPayment", "SKMutablePaymentKWZ", "Constructor(payment as SKPaymentKWZ)",
                     false, "payment is nil"},
        NilCheckCase{"MutablePaymentFromProduct", "SKMutablePaymentKWZ", "Constructor(product as SKProductKWZ)",
                     false, "product is nil"},
        NilCheckCase{"PaymentWithProduct", "SKPaymentKWZ",
                     "paymentWithProduct(product as SKProductKWZ) as SKPaymentKWZ", true, "product is nil"},
        NilCheckCase{"MutablePaymentWithProduct", "SKMutablePaymentKWZ",
                     "paymentWithProduct(product as SKProductKWZ) as SKPaymentKWZ", true, "product is nil"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.label); });

}  // namespace
