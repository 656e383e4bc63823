// The engine tests' fixture: scratch memory counted (the engine linked into this
// executable calls GlobalAlloc), a fresh account for every test, and no block left
// alive at its end.
#pragma once

#include <gtest/gtest.h>

#include "simhost/host.h"
#include "simhost/scratch_memory.h"

namespace blurtest {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simhost::InterceptScratchMemory());
    simhost::Reset();
  }
  void TearDown() override {
    simhost::ClearScratchFailure();
    EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
    EXPECT_TRUE(simhost::LedgerReport().empty());
  }
};

}  // namespace blurtest
