#include "blur/blur_method.h"

#include <cstdint>

#include "blur/box_blur.h"
#include "blur/pixel_access.h"
#include "blur/radius.h"
#include "blur/surfaces.h"
#include "frame/host_entries.h"

namespace {

// Asks for flag bit 0x4 under hosts of version 2010.029 or later.
constexpr uint32_t kBlurFlags = 0x40000;

MethodDefinition gPictureMethods[] = {
    {reinterpret_cast<PluginFunction>(&BlurKWZ), nullptr, "BlurKWZ(Radius as double) as picture", kBlurFlags},
};

HostObject BlurAsBitmap(HostObject receiver, double radius) {
  BitmapSurface source{};
  BitmapSurface output{};
  HostObject result = nullptr;
  if (!LockSourceBitmap(&source, receiver, true)) return nullptr;
  if (CreateOutputBitmap(&output, source.width, source.height)) {
    BoxBlurBitmap(source, output, radius);
    result = FinishOutputBitmap(&output);
  }
  UnlockSourceBitmap(&source);
  return result;
}

HostObject BlurAsRowTable(HostObject receiver, double radius) {
  RowTableSurface source{};
  RowTableSurface output{};
  HostObject result = nullptr;
  if (!LockSourceRowTable(&source, receiver)) return nullptr;
  if (CreateOutputRowTable(&output, source.width, source.height)) {
    BoxBlurRowTable(source, output, radius);
    result = FinishOutputRowTable(&output);
  }
  UnlockSourceRowTable(&source);
  return result;
}

}  // namespace

ClassDefinition gPictureExtension = {
    kPluginInterfaceVersion, "Picture", nullptr, 0, 0, nullptr, nullptr, nullptr, 0, gPictureMethods, 1,
    nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, kBlurFlags, nullptr, 0, nullptr, 0};

HostObject BlurKWZ(HostObject receiver, double radius) {
  if (TruncateRadius(radius) < 1) {
    // The very receiver, with a reference for the host; nothing is copied.
    if (receiver != nullptr) REALLockObject(receiver);
    return receiver;
  }
  // The engine gets the radius as received; it truncates it the same way.
  if (HostObject result = BlurAsBitmap(receiver, radius)) return result;
  return BlurAsRowTable(receiver, radius);
}
