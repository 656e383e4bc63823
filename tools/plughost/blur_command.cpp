// blur: load Veilpix, make a host picture from an image file, call the registered
// BlurKWZ exactly as a host would, and write the result as PNG.
#include <chrono>
#include <cstdio>
#include <iostream>

#include "commands.h"
#include "errors.h"
#include "image_io.h"
#include "inspect_report.h"
#include "plugin_session.h"
#include "simhost/host.h"
#include "simhost/pictures.h"

namespace plughost {
namespace {

const char kExtendedClass[] = "Picture";
const char kBlurDeclaration[] = "BlurKWZ(Radius as double) as picture";

// The host calls an instance method's function with the receiver, then the
// declared parameters.
using BlurFunction = HostObject (*)(HostObject receiver, double radius);

BlurFunction FindBlurMethod(const std::string& plugin) {
  for (const simhost::Registration& r : simhost::Registrations()) {
    if (r.kind != simhost::RegistrationKind::ClassExtension || r.name != kExtendedClass) continue;
    for (const simhost::CapturedMethod& method : r.methods) {
      if (method.declaration == kBlurDeclaration && method.function != nullptr) {
        return reinterpret_cast<BlurFunction>(method.function);
      }
    }
  }
  Fail(plugin + " registered no BlurKWZ: no extension of Picture declares \"" + kBlurDeclaration + "\"");
}

simhost::PictureForm ParseForm(const ParsedCommand& command) {
  const std::string form = command.Value("--form").value_or("bitmap");
  if (form == "bitmap") return simhost::PictureForm::Bitmap;
  if (form == "rowtable") return simhost::PictureForm::RowTable;
  FailUsage("--form: '" + form + "' is neither bitmap nor rowtable");
}

// The form that served, told by what happened: the output of the row-table form
// is described through lockPictureDescription, that of the bitmap form is not.
const char* FormThatServed(HostObject result) {
  for (const simhost::HostCall& call : simhost::CallsOf("lockPictureDescription")) {
    if (!call.args.empty() && call.args[0] == simhost::CallArg{static_cast<const void*>(result)}) return "row table";
  }
  return "bitmap";
}

// Pictures whose references the tool holds, dropped whatever happens.
struct HeldPictures {
  std::vector<HostObject> references;
  ~HeldPictures() {
    for (HostObject picture : references) simhost::Release(picture);
  }
};

}  // namespace

int RunBlur(const ParsedCommand& command) {
  const std::string& pluginPath = command.positionals[0];
  const std::string& inputPath = command.positionals[1];
  const std::string& outputPath = command.positionals[2];
  const double radius = ParseNumber(command.Value("--radius").value_or(""), "--radius");
  const simhost::PictureForm form = ParseForm(command);

  const Image input = ReadImage(inputPath);

  simhost::Reset();
  simhost::PictureHostOptions options;
  options.form = form;
  simhost::SetPictureHostOptions(options);
  Image output;
  std::string served;
  double milliseconds = 0;
  std::vector<std::string> problems;
  {
    StartedPlugin plugin(pluginPath);
    const BlurFunction blur = FindBlurMethod(pluginPath);
    HeldPictures held;
    const HostObject receiver = simhost::CreatePicture(input.width, input.height, 32);
    if (receiver == nullptr) Fail("the host cannot make a picture of " + inputPath);
    held.references.push_back(receiver);
    simhost::SetPicturePixels(receiver, input.pixels);

    const auto start = std::chrono::steady_clock::now();
    const HostObject result = blur(receiver, radius);
    const auto end = std::chrono::steady_clock::now();
    milliseconds = std::chrono::duration<double, std::milli>(end - start).count();

    if (result == nullptr) Fail("BlurKWZ returned nil for " + inputPath + "; nothing was written");
    held.references.push_back(result);  // the reference the host owns as the method's result
    if (!simhost::IsPicture(result) || simhost::PictureWidthOf(result) != input.width ||
        simhost::PictureHeightOf(result) != input.height) {
      Fail("BlurKWZ returned something other than a picture of " + inputPath + "'s size; nothing was written");
    }
    served = result == receiver ? "none: BlurKWZ returned the picture itself (radius below 1)" : FormThatServed(result);
    output.width = input.width;
    output.height = input.height;
    output.pixels = simhost::PicturePixels(result);
    for (uint32_t& pixel : output.pixels) pixel &= 0x00FFFFFF;
  }
  problems = simhost::LedgerReport();

  WritePng(outputPath, command.HasFlag("--side-by-side") ? SideBySide(input, output) : output);

  char time[32];
  std::snprintf(time, sizeof time, "%.3f ms", milliseconds);
  std::cout << "input   " << inputPath << " (" << input.width << " x " << input.height << " pixels)\n"
            << "radius  " << Number(radius) << "\n"
            << "form    " << served << "\n"
            << "time    " << time << " in the BlurKWZ call\n"
            << "output  " << outputPath << (command.HasFlag("--side-by-side") ? " (input left, result right)" : "")
            << "\n";
  for (const std::string& problem : problems) std::cerr << "plughost: warning: the host noticed: " << problem << "\n";
  return std::cout.flush() ? kExitSuccess : kExitFailure;
}

}  // namespace plughost
