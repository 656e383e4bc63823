// A fixture for Tillbridge's members: a fresh Tillbridge loaded and started in a
// fresh host, instances the test makes (released at the end), the host calls made
// since a mark, and a clean ledger once the host has handled what was raised.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/fresh_plugin.h"
#include "simhost/host.h"
#include "simhost/instances.h"

namespace storetest {

class StoreHost : public ::testing::Test {
 protected:
  StoreHost() : plugin_("Tillbridge") { plugin_.Start(); }

  void TearDown() override {
    for (HostObject object : owned_) simhost::Release(object);
    simhost::HandleRaisedExceptions();
    EXPECT_EQ(simhost::LedgerReport(), std::vector<std::string>{});
  }

  // A new instance as project code makes it; released at the end of the test.
  HostObject New(const std::string& className) { return Own(simhost::NewInstance(className)); }
  HostObject Own(HostObject object) {
    owned_.push_back(object);
    return object;
  }

  size_t Mark() const { return simhost::Calls().size(); }
  std::vector<simhost::HostCall> CallsSince(size_t mark) const {
    return {simhost::Calls().begin() + static_cast<std::ptrdiff_t>(mark), simhost::Calls().end()};
  }

  testsupport::FreshPlugin plugin_;
  std::vector<HostObject> owned_;
};

}  // namespace storetest
