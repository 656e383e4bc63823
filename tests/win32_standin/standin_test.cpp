// Our Win32 stand-in where its behaviour matters to the plug-ins: blocks that are
// zero-filled only when asked, GlobalFree's Win32 results, planned failures,
// GetObjectA's bitmap records and GetVersionExA's record sizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "win32_standin/control.h"
#include "win32_standin/win32_api.h"

namespace {

using win32_standin::AllocationFailure;

class Win32Standin : public ::testing::Test {
 protected:
  void SetUp() override {
    win32_standin::ClearAllocationFailure();
    win32_standin::ResetAllocationRequests();
    win32_standin::ResetOsVersion();
    liveAtStart_ = win32_standin::LiveBlocks();
  }
  void TearDown() override {
    win32_standin::ClearAllocationFailure();
    EXPECT_EQ(win32_standin::LiveBlocks(), liveAtStart_);
  }
  uint64_t liveAtStart_ = 0;
};

TEST_F(Win32Standin, OnlyZeroInitBlocksAreZeroFilled) {
  auto* garbage = static_cast<unsigned char*>(GlobalAlloc(GMEM_FIXED, 32));
  auto* zeros = static_cast<unsigned char*>(GlobalAlloc(GMEM_ZEROINIT, 32));
  ASSERT_NE(garbage, nullptr);
  ASSERT_NE(zeros, nullptr);
  int zeroBytes = 0;
  for (int i = 0; i < 32; ++i) zeroBytes += garbage[i] == 0 ? 1 : 0;
  EXPECT_EQ(zeroBytes, 0) << "memory not asked to be zero is not zero, so reliance on it shows";
  for (int i = 0; i < 32; ++i) EXPECT_EQ(zeros[i], 0) << i;
  GlobalFree(garbage);
  GlobalFree(zeros);
}

TEST_F(Win32Standin, GlobalFreeAnswersNullOnSuccessAndTheHandleOnFailure) {
  HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, 8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(win32_standin::LiveBlocks(), liveAtStart_ + 1);
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);  // released already
  int notABlock = 0;
  EXPECT_EQ(GlobalFree(&notABlock), &notABlock);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  EXPECT_EQ(win32_standin::LiveBlocks(), liveAtStart_);
}

TEST_F(Win32Standin, MoveableMemoryIsNotOffered) {
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8), nullptr);
  EXPECT_EQ(win32_standin::AllocationRequests(), 1u);
}

TEST_F(Win32Standin, ZeroBytesStillGiveABlock) {
  HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, 0);
  EXPECT_NE(block, nullptr);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST_F(Win32Standin, AOnceFailureIsCountedFromNowAndHappensOnce) {
  HGLOBAL before = GlobalAlloc(GMEM_ZEROINIT, 8);
  win32_standin::FailAllocation(3, AllocationFailure::Once);
  HGLOBAL a = GlobalAlloc(GMEM_ZEROINIT, 8);
  HGLOBAL b = GlobalAlloc(GMEM_ZEROINIT, 8);
  HGLOBAL refused = GlobalAlloc(GMEM_ZEROINIT, 8);
  HGLOBAL c = GlobalAlloc(GMEM_ZEROINIT, 8);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(refused, nullptr);
  EXPECT_NE(c, nullptr);
  EXPECT_EQ(win32_standin::AllocationRequests(), 5u);
  EXPECT_EQ(win32_standin::LiveBlocks(), liveAtStart_ + 4);
  for (HGLOBAL block : {before, a, b, c}) GlobalFree(block);
}

TEST_F(Win32Standin, AFromThenOnFailureLastsUntilCleared) {
  win32_standin::FailAllocation(2, AllocationFailure::FromThenOn);
  HGLOBAL a = GlobalAlloc(GMEM_ZEROINIT, 8);
  EXPECT_NE(a, nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, 8), nullptr);
  win32_standin::ResetAllocationRequests();  // the failure goes on across a count reset
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, 8), nullptr);
  win32_standin::ClearAllocationFailure();
  HGLOBAL b = GlobalAlloc(GMEM_ZEROINIT, 8);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(win32_standin::AllocationRequests(), 2u);
  GlobalFree(a);
  GlobalFree(b);
}

TEST_F(Win32Standin, APlannedFailureKeepsItsDistanceAcrossACountReset) {
  HGLOBAL a = GlobalAlloc(GMEM_ZEROINIT, 8);
  win32_standin::FailAllocation(2, AllocationFailure::Once);
  win32_standin::ResetAllocationRequests();
  HGLOBAL b = GlobalAlloc(GMEM_ZEROINIT, 8);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, 8), nullptr);
  GlobalFree(a);
  GlobalFree(b);
}

TEST_F(Win32Standin, GetObjectAReadsTheBitmapRecords) {
  unsigned char pixels[64] = {};
  HBITMAP withBits = win32_standin::CreateBitmapRecord({3, 5, 12, 32, pixels});
  HBITMAP withoutBits = win32_standin::CreateBitmapRecord({4, 4, 12, 24, nullptr});
  EXPECT_NE(withBits, withoutBits);

  BITMAP bitmap;
  std::memset(&bitmap, 0x77, sizeof bitmap);
  EXPECT_EQ(GetObjectA(withBits, static_cast<int>(sizeof(BITMAP)), &bitmap), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bitmap.bmType, 0);
  EXPECT_EQ(bitmap.bmWidth, 3);
  EXPECT_EQ(bitmap.bmHeight, 5);
  EXPECT_EQ(bitmap.bmWidthBytes, 12);
  EXPECT_EQ(bitmap.bmPlanes, 1);
  EXPECT_EQ(bitmap.bmBitsPixel, 32);
  EXPECT_EQ(bitmap.bmBits, pixels);

  EXPECT_EQ(GetObjectA(withoutBits, static_cast<int>(sizeof(BITMAP)), &bitmap), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bitmap.bmBitsPixel, 24);
  EXPECT_EQ(bitmap.bmBits, nullptr);

  EXPECT_EQ(GetObjectA(withBits, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(GetObjectA(withBits, static_cast<int>(sizeof(BITMAP)) - 1, &bitmap), 0);
  int notAHandle = 0;
  EXPECT_EQ(GetObjectA(&notAHandle, static_cast<int>(sizeof(BITMAP)), &bitmap), 0);

  const uint64_t live = win32_standin::LiveBitmapRecords();
  EXPECT_TRUE(win32_standin::DestroyBitmapRecord(withBits));
  EXPECT_FALSE(win32_standin::DestroyBitmapRecord(withBits));
  EXPECT_EQ(GetObjectA(withBits, static_cast<int>(sizeof(BITMAP)), &bitmap), 0);
  EXPECT_TRUE(win32_standin::DestroyBitmapRecord(withoutBits));
  EXPECT_EQ(win32_standin::LiveBitmapRecords(), live - 2);
}

TEST_F(Win32Standin, GetVersionExAFillsBothRecordSizesWithTheSetVersion) {
  win32_standin::SetOsVersion(VER_PLATFORM_WIN32_NT, 5, 0);
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  ASSERT_EQ(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&ex)), 1);
  EXPECT_EQ(ex.dwOSVersionInfoSize, 156u);
  EXPECT_EQ(ex.dwPlatformId, 2u);
  EXPECT_EQ(ex.dwMajorVersion, 5u);
  EXPECT_EQ(ex.dwMinorVersion, 0u);

  OSVERSIONINFOA plain{};
  plain.dwOSVersionInfoSize = sizeof plain;
  ASSERT_EQ(GetVersionExA(&plain), 1);
  EXPECT_EQ(plain.dwMajorVersion, 5u);
  EXPECT_EQ(win32_standin::VersionQueries(), 2u);
}

TEST_F(Win32Standin, GetVersionExAStartsAtWindowsXpAndRefusesOtherSizes) {
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  ASSERT_EQ(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&ex)), 1);
  EXPECT_EQ(ex.dwPlatformId, 2u);
  EXPECT_EQ(ex.dwMajorVersion, 5u);
  EXPECT_EQ(ex.dwMinorVersion, 1u);
  ex.dwOSVersionInfoSize = 150;
  EXPECT_EQ(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&ex)), 0);
  EXPECT_EQ(GetVersionExA(nullptr), 0);
}

TEST_F(Win32Standin, GetVersionExACanRefuseTheExSizeAndStillAnswerThePlainOne) {
  win32_standin::SetOsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  win32_standin::SetVersionExRefusesExSize(true);
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  EXPECT_EQ(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&ex)), 0);
  OSVERSIONINFOA plain{};
  plain.dwOSVersionInfoSize = sizeof plain;
  ASSERT_EQ(GetVersionExA(&plain), 1);
  EXPECT_EQ(plain.dwPlatformId, 1u);
  EXPECT_EQ(plain.dwMajorVersion, 4u);
  EXPECT_EQ(plain.dwMinorVersion, 10u);
}

}  // namespace
