// The simulated host's scratch memory accounting itself, in this build's
// GlobalAlloc (our stand-in natively, kernel32 under Wine).
#include <gtest/gtest.h>

#include <cstdint>

#include "blur/win32.h"
#include "simhost/host.h"
#include "simhost/scratch_memory.h"

namespace {

class ScratchMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simhost::InterceptScratchMemory());
    simhost::Reset();
  }
  void TearDown() override { simhost::ClearScratchFailure(); }
};

bool AllZero(const void* block, size_t bytes) {
  const auto* p = static_cast<const unsigned char*>(block);
  for (size_t i = 0; i < bytes; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

TEST_F(ScratchMemory, CountsRequestsAndLiveBlocks) {
  HGLOBAL a = GlobalAlloc(GMEM_ZEROINIT, 64);
  HGLOBAL b = GlobalAlloc(GMEM_ZEROINIT, 128);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(simhost::ScratchRequests(), 2u);
  EXPECT_EQ(simhost::LiveScratchBlocks(), 2);
  EXPECT_EQ(GlobalFree(a), nullptr);
  EXPECT_EQ(simhost::LiveScratchBlocks(), 1);
  EXPECT_EQ(GlobalFree(b), nullptr);
  EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
  EXPECT_EQ(simhost::ScratchRequests(), 2u);
}

TEST_F(ScratchMemory, ZeroInitBlocksAreZeroEvenWhereMemoryWasUsedBefore) {
  for (int round = 0; round < 3; ++round) {
    void* block = GlobalAlloc(GMEM_ZEROINIT, 4096);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(AllZero(block, 4096));
    static_cast<unsigned char*>(block)[100] = 0xFF;
    GlobalFree(block);
  }
}

TEST_F(ScratchMemory, AOnceFailureRefusesOnlyTheNthRequest) {
  simhost::FailScratchRequest(2, simhost::ScratchFailure::Once);
  HGLOBAL first = GlobalAlloc(GMEM_ZEROINIT, 16);
  HGLOBAL second = GlobalAlloc(GMEM_ZEROINIT, 16);
  HGLOBAL third = GlobalAlloc(GMEM_ZEROINIT, 16);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(simhost::LiveScratchBlocks(), 2);
  GlobalFree(first);
  GlobalFree(third);
}

TEST_F(ScratchMemory, AFromThenOnFailureRefusesTheNthAndEveryLaterRequest) {
  simhost::FailScratchRequest(2, simhost::ScratchFailure::FromThenOn);
  HGLOBAL first = GlobalAlloc(GMEM_ZEROINIT, 16);
  EXPECT_NE(first, nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, 16), nullptr);
  simhost::ClearScratchFailure();
  HGLOBAL later = GlobalAlloc(GMEM_ZEROINIT, 16);
  EXPECT_NE(later, nullptr);
  EXPECT_EQ(simhost::ScratchRequests(), 5u);
  GlobalFree(first);
  GlobalFree(later);
}

TEST_F(ScratchMemory, ResetCountsAnewAndTheLedgerNamesABlockLeftAlive) {
  HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, 8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(simhost::LedgerReport().size(), 1u);
  simhost::Reset();
  EXPECT_EQ(simhost::ScratchRequests(), 0u);
  EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
  EXPECT_TRUE(simhost::LedgerReport().empty());
  GlobalFree(block);  // a block from before Reset()
  EXPECT_EQ(simhost::LiveScratchBlocks(), -1);
  simhost::Reset();
}

}  // namespace
