// The Windows 2000 stride rule: bitmap strides raised to a multiple of 4 on NT
// 5.0 only, the system asked once per process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "veilpix_fixture.h"

namespace veilpixtest {
namespace {

#if !defined(_WIN32)

struct VersionCase {
  const char* name;
  uint32_t platform, major, minor;
  bool refusesExSize;
  int32_t rowPadding;      // real stride: 4 × width + rowPadding
  int32_t understatement;  // bmWidthBytes: the real stride less this
  bool windows2000;
  uint64_t queries;
};

class WindowsVersion : public VeilpixProbeTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(WindowsVersion, DecidesTheStrideOfEveryBitmapAndIsAskedOnce) {
  const VersionCase& c = GetParam();
  win32_standin::SetOsVersion(c.platform, c.major, c.minor);
  win32_standin::SetVersionExRefusesExSize(c.refusesExSize);
  simhost::PictureHostOptions options;
  options.bitmapRowPadding = c.rowPadding;
  options.bitmapStrideUnderstatement = c.understatement;
  simhost::SetPictureHostOptions(options);
  // Width 1: a bmWidthBytes of 6 for rows 8 bytes apart on Windows 2000.
  for (int32_t width : {1, 3, 5}) {
    SCOPED_TRACE(width);
    const Receiver receiver = NewReceiver(width, 6);
    ExpectBlurred(Blur(receiver.picture, 1.0), receiver, 1);
  }
  EXPECT_EQ(win32_standin::VersionQueries(), c.queries);
  EXPECT_EQ(Hook<ProbeLatchFunction>("ProbeIsWindows2000")(), c.windows2000 ? 1 : 0);
  EXPECT_EQ(win32_standin::VersionQueries(), c.queries);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, WindowsVersion,
    ::testing::Values(VersionCase{"Windows2000", 2, 5, 0, false, 4, 2, true, 1},
                      VersionCase{"Windows2000WithoutTheExRecord", 2, 5, 0, true, 4, 2, true, 2},
                      VersionCase{"WindowsXP", 2, 5, 1, false, 2, 0, false, 1},
                      VersionCase{"WindowsVista", 2, 6, 0, false, 2, 0, false, 1},
                      VersionCase{"Windows95", 1, 4, 0, false, 2, 0, false, 1}),
    [](const ::testing::TestParamInfo<VersionCase>& test) { return std::string(test.param.name); });

TEST_F(VeilpixProbeTest, TheRowTableFormNeverAsksTheVersion) {
  UseForm(simhost::PictureForm::RowTable);
  const Receiver receiver = NewReceiver(3, 3);
  ExpectBlurred(Blur(receiver.picture, 1.0), receiver, 1);
  EXPECT_EQ(win32_standin::VersionQueries(), 0u);
}

#else

// Under Wine the version is the Wine prefix's: the test that runs in a prefix set
// to Windows 2000 says so through KWZ_EXPECT_WINDOWS_2000; every other prefix
// reports a later system.
TEST_F(VeilpixProbeTest, WineWindows2000IsRecognisedFromThePrefix) {
  const bool expected = std::getenv("KWZ_EXPECT_WINDOWS_2000") != nullptr;
  const Receiver receiver = NewReceiver(3, 4);
  ExpectBlurred(Blur(receiver.picture, 1.0), receiver, 1);
  EXPECT_EQ(Hook<ProbeLatchFunction>("ProbeIsWindows2000")(), expected ? 1 : 0);
}

#endif

TEST_F(VeilpixProbeTest, AllRowsPresentLooksAtTheFirstCountEntries) {
  uint32_t row = 0;
  uint32_t* rows[] = {&row, &row, nullptr, &row};
  const auto allRowsPresent = Hook<ProbeAllRowsPresentFunction>("ProbeAllRowsPresent");
  EXPECT_EQ(allRowsPresent(rows, 2), 1);
  EXPECT_EQ(allRowsPresent(rows, 3), 0);
  EXPECT_EQ(allRowsPresent(rows, 4), 0);
  EXPECT_EQ(allRowsPresent(rows, 0), 1);
  EXPECT_EQ(allRowsPresent(nullptr, -1), 1);
}

}  // namespace
}  // namespace veilpixtest
