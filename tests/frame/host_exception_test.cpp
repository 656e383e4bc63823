// RaiseHostException as the host sees it: the order of its calls, the message
// string's bytes, encoding and release, and a host that lacks an entry or yields
// nothing.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "../probe/probe_abi.h"
#include "../support/fresh_plugin.h"
#include "simhost/host.h"
#include "simhost/instances.h"

namespace {

using simhost::CallArg;
using testsupport::FreshPlugin;

class HostException : public ::testing::Test {
 protected:
  HostException() : probe_("FrameProbe") {
    probe_.Start();
    raise_ = probe_.Symbol<ProbeRaiseHostExceptionFunction>("ProbeRaiseHostException");
    mark_ = simhost::Calls().size();
  }

  std::vector<simhost::HostCall> Calls() const {
    return {simhost::Calls().begin() + static_cast<std::ptrdiff_t>(mark_), simhost::Calls().end()};
  }
  std::vector<std::string> Sequence() const {
    std::vector<std::string> names;
    for (const auto& call : Calls()) names.push_back(call.entry);
    return names;
  }
  // The argument of the only call of entry.
  CallArg OnlyArg(const std::string& entry, size_t index) const {
    const auto calls = simhost::CallsOf(entry);
    EXPECT_EQ(calls.size(), 1u) << entry;
    return calls.empty() || calls[0].args.size() <= index ? CallArg{} : calls[0].args[index];
  }

  // After the host has handled what was raised, nothing is left but owned.
  void ExpectCleanLedger(const std::vector<std::pair<const void*, int>>& owned = {}) {
    simhost::HandleRaisedExceptions();
    EXPECT_EQ(simhost::LedgerReport(owned), std::vector<std::string>{});
  }

  FreshPlugin probe_;
  ProbeRaiseHostExceptionFunction raise_ = nullptr;
  size_t mark_ = 0;
};

const std::vector<std::string> kFullSequence = {"PluginNewInstance",     "REALBuildString",
                                                "REALSetStringEncoding", "RuntimeRaiseException",
                                                "REALSetPropValueString", "REALUnlockString"};

TEST_F(HostException, RaisesThenSetsTheMessageThenReleasesTheString) {
  raise_("NilObjectException", "product is nil");
  ASSERT_EQ(Sequence(), kFullSequence);
  const auto calls = Calls();
  const auto raised = simhost::RaisedExceptions();
  ASSERT_EQ(raised.size(), 1u);
  EXPECT_EQ(raised[0].className, "NilObjectException");
  EXPECT_EQ(raised[0].message, std::optional<std::string>("product is nil"));
  const CallArg exception = static_cast<const void*>(raised[0].exception);
  const CallArg text = calls[2].args.at(0);
  EXPECT_EQ(calls[0].args, (std::vector<CallArg>{std::string("NilObjectException")}));
  EXPECT_EQ(calls[1].args, (std::vector<CallArg>{std::string("product is nil"), int64_t{14}}));
  EXPECT_EQ(calls[2].args, (std::vector<CallArg>{text, int64_t{0x600}}));
  EXPECT_EQ(calls[3].args, (std::vector<CallArg>{exception}));
  EXPECT_EQ(calls[4].args, (std::vector<CallArg>{exception, std::string("Message"), text}));
  EXPECT_EQ(calls[5].args, (std::vector<CallArg>{text}));
  ExpectCleanLedger();
}

TEST_F(HostException, BytesAbove127ArePassedAsTheyAreAndMarkedUsAscii) {
  const std::string message = "caf\xC3\xA9 \xFF";
  raise_("RuntimeException", message.c_str());
  EXPECT_EQ(OnlyArg("REALBuildString", 0), CallArg{message});
  EXPECT_EQ(OnlyArg("REALBuildString", 1), CallArg{int64_t{7}});
  EXPECT_EQ(OnlyArg("REALSetStringEncoding", 1), CallArg{int64_t{0x600}});
  ASSERT_EQ(simhost::RaisedExceptions().size(), 1u);
  EXPECT_EQ(simhost::RaisedExceptions()[0].message, std::optional<std::string>(message));
  ExpectCleanLedger();
}

// Without a message there is no string: the exception is raised and its message
// set to null.
TEST_F(HostException, EmptyOrNullMessageSetsANullMessage) {
  for (const char* message : {"", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(message == nullptr ? "null" : "empty");
    mark_ = simhost::Calls().size();
    raise_("NilObjectException", message);
    ASSERT_EQ(Sequence(), (std::vector<std::string>{"PluginNewInstance", "RuntimeRaiseException",
                                                    "REALSetPropValueString"}));
    EXPECT_EQ(Calls()[2].args.at(2), CallArg{static_cast<const void*>(nullptr)});
  }
  EXPECT_EQ(simhost::RaisedExceptions().size(), 2u);
  ExpectCleanLedger();
}

HostString BuildNoStringEntry(const char* bytes, int32_t byteCount) {
  simhost::RecordCall("REALBuildString", {std::string(bytes, static_cast<size_t>(byteCount)), int64_t{byteCount}});
  return nullptr;
}

struct MissingCase {
  const char* label;
  const char* absent;  // the entry the host lacks, or null
  bool buildsNoString;
  std::vector<std::string> sequence;
  bool raised;
  std::optional<std::string> message;  // as project code sees it
};

void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.label; }

class HostExceptionWithLessHost : public HostException, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(HostExceptionWithLessHost, LaterStepsRunWithWhatTheEarlierOnesGave) {
  const MissingCase& c = GetParam();
  // The probe bound nothing yet but the registration entries: changes take effect.
  if (c.absent != nullptr) simhost::SetEntryAbsent(c.absent);
  if (c.buildsNoString) simhost::SetEntryAddress("REALBuildString", reinterpret_cast<void*>(&BuildNoStringEntry));
  raise_("NilObjectException", "payment is nil");
  EXPECT_EQ(Sequence(), c.sequence);
  const auto raised = simhost::RaisedExceptions();
  ASSERT_EQ(raised.size(), c.raised ? 1u : 0u);
  if (c.raised) {
    EXPECT_EQ(raised[0].message, c.message);
  }
  // Without the raise the instance keeps the reference PluginNewInstance gave it:
  // the plug-in drops no reference to an exception.
  std::vector<std::pair<const void*, int>> owned;
  if (!c.raised && !simhost::CallsOf("PluginNewInstance").empty()) {
    for (const void* object : simhost::LiveObjects()) {
      if (simhost::KindOf(object) == simhost::ObjectKind::Instance) owned.emplace_back(object, 1);
    }
  }
  ExpectCleanLedger(owned);
}

INSTANTIATE_TEST_SUITE_P(
    Frame, HostExceptionWithLessHost,
    ::testing::Values(
        MissingCase{"NoBuildString", "REALBuildString", false,
                    {"PluginNewInstance", "RuntimeRaiseException", "REALSetPropValueString"}, true, ""},
        MissingCase{"BuildStringYieldsNull", nullptr, true,
                    {"PluginNewInstance", "REALBuildString", "RuntimeRaiseException", "REALSetPropValueString"},
                    true, ""},
        MissingCase{"NoEncoding", "REALSetStringEncoding", false,
                    {"PluginNewInstance", "REALBuildString", "RuntimeRaiseException", "REALSetPropValueString",
                     "REALUnlockString"},
                    true, "payment is nil"},
        MissingCase{"NoRaise", "RuntimeRaiseException", false,
                    {"PluginNewInstance", "REALBuildString", "REALSetStringEncoding", "REALSetPropValueString",
                     "REALUnlockString"},
                    false, std::nullopt},
        MissingCase{"NoSetProperty", "REALSetPropValueString", false,
                    {"PluginNewInstance", "REALBuildString", "REALSetStringEncoding", "RuntimeRaiseException",
                     "REALUnlockString"},
                    true, std::nullopt},
        // No instance: nothing to raise and nothing to set a message on; the
        // string that was built is still released.
        MissingCase{"NoNewInstance", "PluginNewInstance", false,
                    {"REALBuildString", "REALSetStringEncoding", "REALUnlockString"}, false, std::nullopt}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.label); });

TEST_F(HostException, UnknownExceptionClassRaisesNothingAndReleasesTheString) {
  simhost::SetUnknownClass("NoSuchException");
  raise_("NoSuchException", "product is nil");
  EXPECT_EQ(Sequence(), (std::vector<std::string>{"PluginNewInstance", "REALBuildString", "REALSetStringEncoding",
                                                  "REALUnlockString"}));
  EXPECT_TRUE(simhost::RaisedExceptions().empty());
  ExpectCleanLedger();
}

}  // namespace
