// plughost's failures: each gives one message naming the problem and the path,
// a non-zero exit status, nothing on standard output, and changes no file: an
// existing output keeps its bytes and no partial or temporary file is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "test_images.h"
#include "tool_runner.h"

namespace {

using plughosttest::PluginPath;
using plughosttest::RunTool;
using plughosttest::ScratchFolder;
using plughosttest::ToolRun;

const char kOldOutput[] = "the output as it was before";

// Files every case finds in its folder: a good input, an existing output, a file
// that is no image, one that is no library, and a sub-folder.
void Prepare(const ScratchFolder& folder) {
  plughosttest::WriteImageFile(folder.Path("in.png"), plughosttest::NoiseImage(8, 6, 5),
                               plughosttest::FileFormat::Png);
  plughosttest::WriteFile(folder.Path("out.png"), kOldOutput);
  plughosttest::WriteFile(folder.Path("text.txt"), "just some text, neither image nor library\n");
  plughosttest::WriteFile(folder.Path("corrupt.png"), std::string("\x89PNG\r\n\x1a\n", 8) + "not really a PNG");
  plughosttest::WriteFile(folder.Path("picture.gif"), "GIF89a\x01\x00\x01\x00\x00\x00\x00;");
  plughosttest::WriteFile(folder.Path("empty.png"), "");
  std::filesystem::create_directory(folder.Path("sub"));
}

struct ErrorCase {
  const char* name;
  // The command line, given the scratch folder.
  std::function<std::vector<std::string>(const ScratchFolder&)> args;
  int status;
  // The message after "plughost: ", with {path} standing for the path it names.
  std::function<std::string(const ScratchFolder&)> message;
};

std::vector<std::string> Blur(const std::string& plugin, const std::string& in, const std::string& out,
                              const std::string& radius = "3") {
  return {"blur", plugin, in, out, "--radius", radius};
}

const ErrorCase kCases[] = {
    {"plugin_missing",
     [](const ScratchFolder& f) { return Blur(f.Path("NoSuch.so"), f.Path("in.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return "no such file: " + f.Path("NoSuch.so"); }},
    {"plugin_is_a_folder",
     [](const ScratchFolder& f) { return Blur(f.Path("sub"), f.Path("in.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return f.Path("sub") + " is a directory, not a file"; }},
    {"plugin_not_a_library",
     [](const ScratchFolder& f) { return Blur(f.Path("text.txt"), f.Path("in.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return f.Path("text.txt") + " is not a plug-in library ("; }},
    {"library_without_REALPluginMain",
     [](const ScratchFolder& f) { return Blur(PluginPath("NotAPlugin"), f.Path("in.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder&) {
       return PluginPath("NotAPlugin") + " is a library without REALPluginMain, not a plug-in of this host";
     }},
    {"plugin_without_BlurKWZ",
     [](const ScratchFolder& f) { return Blur(PluginPath("Tillbridge"), f.Path("in.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder&) {
       return PluginPath("Tillbridge") +
              " registered no BlurKWZ: no extension of Picture declares \"BlurKWZ(Radius as double) as picture\"";
     }},
    {"input_missing",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("none.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return "no such file: " + f.Path("none.png"); }},
    {"input_is_a_folder",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("sub"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return f.Path("sub") + " is a directory, not a file"; }},
    {"input_empty",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("empty.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return f.Path("empty.png") + " is empty, not an image"; }},
    {"input_corrupt",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("corrupt.png"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return f.Path("corrupt.png") + " is a corrupt or unsupported PNG image ("; }},
    {"input_unsupported_format",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("picture.gif"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) {
       return f.Path("picture.gif") + " is not an image in a supported format (PNG, JPEG, BMP, PPM)";
     }},
    {"input_not_an_image",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("text.txt"), f.Path("out.png")); }, 1,
     [](const ScratchFolder& f) { return f.Path("text.txt") + " is not an image in a supported format"; }},
    {"radius_not_a_number",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("in.png"), f.Path("out.png"), "5px"); },
     2, [](const ScratchFolder&) { return std::string("--radius: '5px' is not a number"); }},
    {"radius_nan",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("in.png"), f.Path("out.png"), "nan"); },
     2, [](const ScratchFolder&) { return std::string("--radius: 'nan' is not a number"); }},
    {"radius_missing",
     [](const ScratchFolder& f) {
       return std::vector<std::string>{"blur", PluginPath("Veilpix"), f.Path("in.png"), f.Path("out.png")};
     },
     2, [](const ScratchFolder&) { return std::string("blur needs --radius R (see plughost blur --help)"); }},
    {"form_unknown",
     [](const ScratchFolder& f) {
       std::vector<std::string> args = Blur(PluginPath("Veilpix"), f.Path("in.png"), f.Path("out.png"));
       args.insert(args.end(), {"--form", "gdi"});
       return args;
     },
     2, [](const ScratchFolder&) { return std::string("--form: 'gdi' is neither bitmap nor rowtable"); }},
    {"output_in_a_missing_folder",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("in.png"), f.Path("nowhere/out.png")); },
     1, [](const ScratchFolder& f) { return "cannot write " + f.Path("nowhere/out.png") + ": "; }},
    {"output_is_a_folder",
     [](const ScratchFolder& f) { return Blur(PluginPath("Veilpix"), f.Path("in.png"), f.Path("sub")); }, 1,
     [](const ScratchFolder& f) { return "cannot write " + f.Path("sub") + ": it is a directory"; }},
    {"inspect_plugin_missing",
     [](const ScratchFolder& f) { return std::vector<std::string>{"inspect", f.Path("NoSuch.dll")}; }, 1,
     [](const ScratchFolder& f) { return "no such file: " + f.Path("NoSuch.dll"); }},
    {"inspect_not_a_library",
     [](const ScratchFolder& f) { return std::vector<std::string>{"inspect", f.Path("text.txt"), "--json"}; }, 1,
     [](const ScratchFolder& f) { return f.Path("text.txt") + " is not a plug-in library ("; }},
    {"inspect_library_without_REALPluginMain",
     [](const ScratchFolder&) { return std::vector<std::string>{"inspect", PluginPath("NotAPlugin")}; }, 1,
     [](const ScratchFolder&) {
       return PluginPath("NotAPlugin") + " is a library without REALPluginMain, not a plug-in of this host";
     }},
    {"inspect_host_version_not_a_number",
     [](const ScratchFolder&) {
       return std::vector<std::string>{"inspect", PluginPath("Veilpix"), "--host-version", "new"};
     },
     2, [](const ScratchFolder&) { return std::string("--host-version: 'new' is not a number"); }},
    {"sample_output_in_a_missing_folder",
     [](const ScratchFolder& f) { return std::vector<std::string>{"sample", f.Path("nowhere/s.png")}; }, 1,
     [](const ScratchFolder& f) { return "cannot write " + f.Path("nowhere/s.png") + ": "; }},
    {"unknown_command",
     [](const ScratchFolder&) { return std::vector<std::string>{"sharpen"}; }, 2,
     [](const ScratchFolder&) { return std::string("unknown command sharpen (see plughost --help)"); }},
    {"unknown_option",
     [](const ScratchFolder&) { return std::vector<std::string>{"inspect", PluginPath("Veilpix"), "--xml"}; }, 2,
     [](const ScratchFolder&) { return std::string("unknown option --xml (see plughost inspect --help)"); }},
    {"too_few_arguments",
     [](const ScratchFolder& f) { return std::vector<std::string>{"blur", PluginPath("Veilpix"), f.Path("in.png")}; },
     2, [](const ScratchFolder&) { return std::string("blur takes PLUGIN INPUT OUTPUT, given 2 arguments"); }},
};

class ToolErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(ToolErrors, OneMessageNamingThePathNonZeroStatusAndNoFileChanged) {
  ScratchFolder folder;
  Prepare(folder);
  const std::vector<std::string> before = folder.Files();

  const ToolRun run = RunTool(GetParam().args(folder));
  EXPECT_EQ(run.status, GetParam().status);
  const std::string expected = "plughost: " + GetParam().message(folder);
  EXPECT_EQ(run.err.rfind(expected, 0), 0u) << "expected: " << expected << "\n     got: " << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(plughosttest::ReadFile(folder.Path("out.png")), kOldOutput);
  EXPECT_EQ(folder.Files(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolErrors, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ErrorCase>& test) { return std::string(test.param.name); });

// Help is no error: the program's and each command's help go to standard output.
TEST(ToolHelp, ProgramAndEachCommandHaveHelp) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "Commands:\n"},
      {{"--help"}, "Commands:\n"},
      {{"inspect", "--help"}, "usage: plughost inspect PLUGIN [--host-version V] [--json]\n"},
      {{"blur", "-h"},
       "usage: plughost blur PLUGIN INPUT OUTPUT --radius R [--form bitmap|rowtable] [--side-by-side]\n"},
      {{"help", "sample"}, "usage: plughost sample OUTPUT [--width W] [--height H]\n"},
  };
  for (const auto& [args, start] : cases) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find(start), std::string::npos) << run.out;
  }
}

}  // namespace
