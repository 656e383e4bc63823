// Fuzzes BlurKWZ end to end: Veilpix, loaded from this build through the
// simulated host's loader, is called as the host calls it on a picture of a host
// whose every picture answer comes from the input (simhost/fuzzed_pictures.h):
// description types and data, bitmap sizes, strides, depths and pixels, row-table
// image fields, row tables with missing rows, sizes that disagree, whether
// pictures, graphics objects and drawing methods are given, what Width and Height
// read as, plus the radius's bits and a scratch memory request that fails.
//
// After every call: no sanitizer report, and the host's ledger clean (every
// reference given back, every description lock matched by one unlock, no scratch
// block alive, no rule of the host broken), with a result the rules allow: nil, the
// receiver with one more reference (below radius 1 only), or a new picture whose
// one reference is the host's.
//
// The plug-in keeps process-wide latches (which form works) that no input can
// reset, and a fuzzer cannot unload an instrumented library. So four copies are
// loaded once: copy 0 starts untried and keeps whatever its inputs teach it; copies
// 1 to 3 are settled at start-up, by one scripted blur each, on the bitmap form
// (Windows XP), the bitmap form (Windows 2000, strides rounded up) and the
// row-table form. A settled copy cannot change any more, so inputs that choose it
// behave the same however often they run. The input's first byte chooses the copy.
//
// With KWZ_WRITE_SEEDS set to a folder, writes the seed inputs there and exits.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "simhost/fuzzed_pictures.h"
#include "simhost/host.h"
#include "simhost/plugin_loader.h"
#include "simhost/scratch_memory.h"
#include "win32_standin/control.h"

// Blocks the host cannot have come back null, as GlobalAlloc's do, rather than
// ending the run; no single block beyond 256 MB is had.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=256"; }

namespace {

using BlurFunction = HostObject (*)(HostObject receiver, double radius);

constexpr int kCopies = 4;
constexpr int kWindows2000Copy = 2;

struct Copy {
  simhost::LoadedPlugin plugin;
  BlurFunction blur = nullptr;
};
Copy gCopies[kCopies];

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "blur_method_fuzzer: %s\n", why.c_str());
  std::abort();
}

// ---- The input's own part, read before the calls ----

enum : uint8_t { kReceiverNull = 7, kReceiver24Bits = 6 };

constexpr double kRadii[] = {1.0,
                             2.0,
                             1.5,
                             3.0,
                             0.9,
                             0.0,
                             -1.0,
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             1e8,
                             2147483647.5,
                             2147483647.0,
                             5.0,
                             40.0,
                             4210751.0};
constexpr uint8_t kRawRadius = 15;

struct Run {
  uint8_t copy = 1;
  uint8_t receiver = 0;  // 0 .. 5: 32 bits; 6: 24 bits; 7: none
  int32_t width = 3, height = 2;
  uint8_t radius = 0;  // index into kRadii, or kRawRadius
  uint64_t radiusBits = 0;
  uint8_t noRuntimeDrawing = 0;
  uint8_t scratchFailure = 0;  // 0, 1: none; 2: once; 3: from then on
  int32_t scratchRequest = 1;
};

template <typename Script>
void Visit(Script& s, Run& run) {
  simhost::Choice(s, run.copy, kCopies);
  simhost::Choice(s, run.receiver, 8);
  simhost::Size(s, run.width);
  simhost::Size(s, run.height);
  simhost::Choice(s, run.radius, 16);
  if (run.radius == kRawRadius) simhost::Raw64(s, run.radiusBits);
  simhost::Choice(s, run.noRuntimeDrawing, 2);
  simhost::Choice(s, run.scratchFailure, 4);
  if (run.scratchFailure >= 2) simhost::Size(s, run.scratchRequest);
}

double RadiusOf(const Run& run) {
  if (run.radius != kRawRadius) return kRadii[run.radius % kRawRadius];
  double radius;
  std::memcpy(&radius, &run.radiusBits, sizeof radius);
  // Radii whose division table would take gigabytes are folded down: the host
  // has the memory or not, and what the table's size does is fuzzed at the edges.
  if (radius >= 64.0 && radius < 4210752.0) radius = std::fmod(radius, 64.0);
  if (radius <= -64.0 && radius > -4210752.0) radius = std::fmod(radius, 64.0);
  return radius;
}

// Whether the method must blur (r >= 1) rather than give the receiver back.
bool Blurs(double radius) { return radius >= 1.0 && radius < 2147483647.5; }

// ---- One call ----

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + line;
  return text;
}

// Returns whether the call gave a new picture.
bool CallBlur(const Run& run, simhost::ScriptReader& script) {
  const Copy& copy = gCopies[run.copy % kCopies];
  simhost::Reset();
  simhost::FuzzedHostOptions options;
  options.windows2000Rows = run.copy == kWindows2000Copy;
  options.offerRuntimeDrawing = run.noRuntimeDrawing == 0;
  simhost::ServeFuzzedPictures(&script, options);
  if (run.scratchFailure >= 2 && run.scratchRequest >= 1) {
    simhost::FailScratchRequest(static_cast<uint64_t>(run.scratchRequest),
                                run.scratchFailure == 3 ? simhost::ScratchFailure::FromThenOn
                                                        : simhost::ScratchFailure::Once);
  }
  HostObject receiver = nullptr;
  if (run.receiver != kReceiverNull) {
    receiver = simhost::CreateFuzzedPicture(run.width, run.height, run.receiver == kReceiver24Bits ? 24 : 32);
  }
  const double radius = RadiusOf(run);

  HostObject result = copy.blur(receiver, radius);

  std::vector<std::pair<const void*, int>> owned;
  if (receiver != nullptr) owned.emplace_back(receiver, result == receiver ? 2 : 1);
  if (Blurs(radius)) {
    if (result != nullptr && (result == receiver || !simhost::IsNewFuzzedPicture(result))) {
      Fail("the result is neither nil nor a new picture");
    }
    if (result != nullptr) owned.emplace_back(result, 1);
  } else {
    if (result != receiver) Fail("below radius 1 the result is not the receiver");
    if (simhost::FuzzedNewPictureCalls() != 0 || simhost::FuzzedLockCalls() != 0) {
      Fail("below radius 1 a picture was made or locked");
    }
  }
  const std::vector<std::string> report = simhost::LedgerReport(owned);
  if (!report.empty()) Fail("left behind:" + Lines(report));
  const bool blurred = result != nullptr && result != receiver;
  for (const auto& [object, references] : owned) {
    for (int i = 0; i < references; ++i) simhost::Release(object);
  }
  simhost::ReleaseFuzzedPictures();
  return blurred;
}

// ---- Start-up: the copies, settled by scripted blurs ----

simhost::LockAnswer RowTableAnswer() {
  simhost::LockAnswer answer;
  answer.form = simhost::kFormRowTable;
  return answer;
}

// The answers of a blur that succeeds as a bitmap, as a row-table image, or
// through a 32-bit copy of a 24-bit bitmap drawn by the DrawPicture method.
std::vector<uint8_t> BitmapBlurAnswers() {
  simhost::ScriptWriter out;
  simhost::WriteLock(out, simhost::LockAnswer{});  // the receiver
  simhost::WriteYield(out, true);                   // newPicture
  simhost::WriteLock(out, simhost::LockAnswer{});  // the output
  return out.bytes;
}

std::vector<uint8_t> RowTableBlurAnswers() {
  simhost::ScriptWriter out;
  simhost::WriteLock(out, RowTableAnswer());  // the typed lock of the receiver answers type 10
  simhost::WriteLock(out, RowTableAnswer());  // lockPictureDescription of the receiver
  simhost::WriteYield(out, true);             // newPicture
  simhost::WriteLock(out, RowTableAnswer());  // the output
  return out.bytes;
}

std::vector<uint8_t> ConversionBlurAnswers() {
  simhost::ScriptWriter out;
  simhost::LockAnswer deep;
  deep.bitsPerPixel = 1;  // 24 bits
  simhost::WriteLock(out, deep);  // the receiver: not 32 bits
  simhost::WriteProperty(out, simhost::PropertyAnswer{});  // Width
  simhost::WriteProperty(out, simhost::PropertyAnswer{});  // Height
  simhost::WriteYield(out, true);                         // newPicture: the copy
  simhost::WriteYield(out, true);                         // its graphics
  simhost::WriteYield(out, true);                         // the DrawPicture method
  simhost::WriteLock(out, simhost::LockAnswer{});        // the copy
  simhost::WriteYield(out, true);                         // newPicture: the output
  simhost::WriteLock(out, simhost::LockAnswer{});        // the output
  return out.bytes;
}

std::vector<uint8_t> Input(Run run, const std::vector<uint8_t>& answers) {
  simhost::ScriptWriter out;
  Visit(out, run);
  out.bytes.insert(out.bytes.end(), answers.begin(), answers.end());
  return out.bytes;
}

void Settle(int index, const std::vector<uint8_t>& answers) {
  Run run;
  run.copy = static_cast<uint8_t>(index);
  run.width = 2;
  run.height = 2;
  const std::vector<uint8_t> input = Input(run, answers);
  simhost::ScriptReader script(input.data(), input.size());
  Run read;
  Visit(script, read);
  if (!CallBlur(read, script) || simhost::FuzzedNewPictureCalls() != 1) Fail("a copy could not be settled");
}

void WriteSeeds(const char* folder) {
  int count = 0;
  const std::vector<uint8_t> answers[] = {BitmapBlurAnswers(), RowTableBlurAnswers(), ConversionBlurAnswers()};
  for (uint8_t copy = 0; copy < kCopies; ++copy) {
    for (const std::vector<uint8_t>& a : answers) {
      for (uint8_t radius : {uint8_t{0}, uint8_t{2}, uint8_t{13}}) {
        Run run;
        run.copy = copy;
        run.radius = radius;
        run.width = 5 + copy;
        run.height = 3 + radius % 5;
        const std::vector<uint8_t> input = Input(run, a);
        std::ofstream file(std::string(folder) + "/seed" + std::to_string(count++), std::ios::binary);
        file.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
      }
    }
  }
  std::exit(0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("KWZ_WRITE_SEEDS")) WriteSeeds(folder);
  for (Copy& copy : gCopies) {
    std::string error;
    if (!simhost::LoadFreshPlugin(simhost::PluginBesideExecutable("Veilpix"), copy.plugin, error)) Fail(error);
    std::remove(copy.plugin.copyPath.c_str());  // loaded for good; the file is not needed
    simhost::Reset();
    copy.plugin.pluginMain(simhost::Resolver());
    const simhost::Registration* extension = simhost::FindRegistration("Picture");
    if (extension == nullptr || extension->methods.size() != 1) Fail("Veilpix registered no method");
    copy.blur = reinterpret_cast<BlurFunction>(extension->methods[0].function);
  }
  win32_standin::ResetOsVersion();
  Settle(1, BitmapBlurAnswers());
  win32_standin::SetOsVersion(2, 5, 0);  // Windows 2000, remembered by copy 2
  Settle(kWindows2000Copy, BitmapBlurAnswers());
  win32_standin::ResetOsVersion();
  Settle(3, RowTableBlurAnswers());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  simhost::ScriptReader script(data, size);
  Run run;
  Visit(script, run);
  CallBlur(run, script);
  return 0;
}
