// plughost blur and sample, end to end: image files in, the plug-in's BlurKWZ
// through the simulated host's pictures, PNG out, pixels read back and compared
// with the reference blur.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "test_images.h"
#include "tool_runner.h"

namespace {

using plughosttest::FileFormat;
using plughosttest::PluginPath;
using plughosttest::ReadImageFile;
using plughosttest::ReferenceBlur;
using plughosttest::RgbImage;
using plughosttest::RunTool;
using plughosttest::ScratchFolder;
using plughosttest::ToolRun;

struct BlurCase {
  const char* name;
  int width, height;
  const char* radius;
  const char* form;    // --form
  const char* served;  // the form the report names
};

class BlurForms : public testing::TestWithParam<BlurCase> {};

TEST_P(BlurForms, WritesTheReferenceBlurAndReportsTheCall) {
  const BlurCase& c = GetParam();
  ScratchFolder folder;
  const RgbImage input = plughosttest::NoiseImage(c.width, c.height, 7);
  plughosttest::WriteImageFile(folder.Path("in.png"), input, FileFormat::Png);

  const ToolRun run = RunTool({"blur", PluginPath("Veilpix"), folder.Path("in.png"), folder.Path("out.png"),
                               "--radius", c.radius, "--form", c.form});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const RgbImage output = ReadImageFile(folder.Path("out.png"));
  ASSERT_EQ(output.width, c.width);
  ASSERT_EQ(output.height, c.height);
  EXPECT_EQ(output.pixels, ReferenceBlur(input, std::stod(c.radius)).pixels);
  EXPECT_NE(run.out.find(std::string("form    ") + c.served + "\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(std::to_string(c.width) + " x " + std::to_string(c.height) + " pixels"), std::string::npos);
  EXPECT_NE(run.out.find(std::string("radius  ") + c.radius + "\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" ms in the BlurKWZ call\n"), std::string::npos) << run.out;
  EXPECT_EQ(folder.Files(), (std::vector<std::string>{"in.png", "out.png"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlurForms,
    testing::Values(BlurCase{"bitmap_radius1", 17, 11, "1", "bitmap", "bitmap"},
                    BlurCase{"bitmap_radius2_9", 17, 11, "2.9", "bitmap", "bitmap"},
                    BlurCase{"rowtable_radius3", 17, 11, "3", "rowtable", "row table"},
                    BlurCase{"bitmap_radius_beyond_the_picture", 5, 3, "9", "bitmap", "bitmap"},
                    BlurCase{"rowtable_one_column", 1, 9, "2", "rowtable", "row table"}),
    [](const testing::TestParamInfo<BlurCase>& test) { return std::string(test.param.name); });

struct FormatCase {
  const char* name;
  FileFormat format;
  const char* file;
};

class BlurInputFormats : public testing::TestWithParam<FormatCase> {};

// Every format read gives the same host picture as stb decodes (alpha dropped).
TEST_P(BlurInputFormats, ReadsTheImageAsDecoded) {
  ScratchFolder folder;
  const std::string in = folder.Path(GetParam().file);
  plughosttest::WriteImageFile(in, plughosttest::NoiseImage(12, 8, 3), GetParam().format);
  const RgbImage decoded = ReadImageFile(in);
  ASSERT_EQ(decoded.width, 12);

  const ToolRun run = RunTool({"blur", PluginPath("Veilpix"), in, folder.Path("out.png"), "--radius", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadImageFile(folder.Path("out.png")).pixels, ReferenceBlur(decoded, 2).pixels);
}

INSTANTIATE_TEST_SUITE_P(Formats, BlurInputFormats,
                         testing::Values(FormatCase{"png_with_alpha", FileFormat::PngWithAlpha, "in.png"},
                                         FormatCase{"bmp", FileFormat::Bmp, "in.bmp"},
                                         FormatCase{"jpeg", FileFormat::Jpeg, "in.jpg"},
                                         FormatCase{"ppm", FileFormat::Ppm, "in.ppm"}),
                         [](const testing::TestParamInfo<FormatCase>& test) { return std::string(test.param.name); });

TEST(Blur, SideBySidePutsTheInputLeftOfTheResult) {
  ScratchFolder folder;
  const RgbImage input = plughosttest::NoiseImage(9, 6, 11);
  plughosttest::WriteImageFile(folder.Path("in.png"), input, FileFormat::Png);
  const ToolRun run = RunTool({"blur", PluginPath("Veilpix"), folder.Path("in.png"), folder.Path("both.png"),
                               "--radius", "1", "--side-by-side"});
  ASSERT_EQ(run.status, 0) << run.err;
  const RgbImage both = ReadImageFile(folder.Path("both.png"));
  ASSERT_EQ(both.width, 18);
  ASSERT_EQ(both.height, 6);
  const RgbImage blurred = ReferenceBlur(input, 1);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 9; ++x) {
      EXPECT_EQ(both.pixels[static_cast<size_t>(y * 18 + x)], input.pixels[static_cast<size_t>(y * 9 + x)]);
      EXPECT_EQ(both.pixels[static_cast<size_t>(y * 18 + 9 + x)], blurred.pixels[static_cast<size_t>(y * 9 + x)]);
    }
  }
}

// Below 1 the method hands back the receiver: the output is the input, and the
// report says so.
TEST(Blur, RadiusBelowOneWritesThePictureItself) {
  for (const char* radius : {"0.9", "-3"}) {
    SCOPED_TRACE(radius);
    ScratchFolder folder;
    const RgbImage input = plughosttest::NoiseImage(6, 5, 2);
    plughosttest::WriteImageFile(folder.Path("in.png"), input, FileFormat::Png);
    const ToolRun run =
        RunTool({"blur", PluginPath("Veilpix"), folder.Path("in.png"), folder.Path("out.png"), "--radius", radius});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadImageFile(folder.Path("out.png")).pixels, input.pixels);
    EXPECT_NE(run.out.find("returned the picture itself"), std::string::npos) << run.out;
  }
}

// The sample the tool draws, blurred over a file that already exists: the file
// is replaced by the result.
TEST(Blur, BlursTheToolsOwnSampleReplacingAnOldOutput) {
  ScratchFolder folder;
  const ToolRun sample = RunTool({"sample", folder.Path("sample.png"), "--width", "40", "--height", "24"});
  ASSERT_EQ(sample.status, 0) << sample.err;
  const RgbImage input = ReadImageFile(folder.Path("sample.png"));
  ASSERT_EQ(input.width, 40);
  ASSERT_EQ(input.height, 24);
  // Colourful enough to show a blur: many colours, with sharp edges among them.
  EXPECT_GT(std::set<uint32_t>(input.pixels.begin(), input.pixels.end()).size(), 100u);
  plughosttest::WriteFile(folder.Path("out.png"), "an older file");
  const ToolRun run = RunTool({"blur", PluginPath("Veilpix"), folder.Path("sample.png"), folder.Path("out.png"),
                               "--radius=4"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadImageFile(folder.Path("out.png")).pixels, ReferenceBlur(input, 4).pixels);
  EXPECT_EQ(folder.Files(), (std::vector<std::string>{"out.png", "sample.png"}));
}

}  // namespace
