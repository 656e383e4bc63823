// Graphics objects of pictures and the two ways to draw a picture into one: the
// graphics object's "DrawPicture(...)" method, found by REALLoadObjectMethod, and
// the host entry RuntimeGraphicsDrawPicture.
#include <map>
#include <string>

#include "entry_modules.h"
#include "picture_store.h"
#include "simhost/host.h"

namespace simhost {
namespace pictures {
namespace {

const char kDrawPictureDeclaration[] =
    "DrawPicture(Image as Picture, x as Integer, y as Integer, w as Integer, h as Integer, sx as Integer = 0, "
    "sy as Integer = 0, sw as Integer = -10000, sh as Integer = -10000)";

struct GraphicsState {
  std::map<const void*, HostObject> pictureOf;  // every graphics object made, alive or released
};

GraphicsState& State() {
  static GraphicsState state;
  return state;
}

// The live picture a graphics object draws into, or null with the misuse recorded.
Picture* TargetOf(HostObject graphics, const char* entry) {
  auto found = State().pictureOf.find(graphics);
  if (found == State().pictureOf.end() || !IsAlive(graphics)) {
    LedgerProblem(std::string(entry) + " called with something that is not a live graphics object");
    return nullptr;
  }
  return Find(found->second);
}

void Draw(const char* entry, HostObject graphics, HostObject picture, int32_t x, int32_t y, int32_t w, int32_t h,
          int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  RecordCall(entry, {static_cast<const void*>(graphics), static_cast<const void*>(picture), int64_t{x}, int64_t{y},
                     int64_t{w}, int64_t{h}, int64_t{sx}, int64_t{sy}, int64_t{sw}, int64_t{sh}});
  Picture* target = TargetOf(graphics, entry);
  const Picture* source = Find(picture);
  if (target == nullptr) return;
  if (source == nullptr || !source->alive) {
    if (picture != nullptr) LedgerProblem(std::string(entry) + " asked to draw something that is not a live picture");
    return;
  }
  DrawPixels(target, *source, x, y, w, h, sx, sy, sw, sh);
}

void DrawPictureMethod(HostObject graphics, HostObject picture, int32_t x, int32_t y, int32_t w, int32_t h,
                       int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  Draw("DrawPicture", graphics, picture, x, y, w, h, sx, sy, sw, sh);
}

void RuntimeGraphicsDrawPictureEntry(HostObject graphics, HostObject picture, int32_t x, int32_t y, int32_t w,
                                     int32_t h, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  Draw("RuntimeGraphicsDrawPicture", graphics, picture, x, y, w, h, sx, sy, sw, sh);
}

HostObject PictureGraphicsGetterEntry(HostObject picture) {
  RecordCall("pluginPictureGraphicsGetter", {static_cast<const void*>(picture)});
  const Picture* stored = Find(picture);
  if (stored == nullptr || !stored->alive) {
    LedgerProblem("pluginPictureGraphicsGetter called with something that is not a live picture");
    return nullptr;
  }
  // The graphics object keeps its picture alive until it goes.
  Retain(picture);
  HostObject graphics = CreateObject(ObjectKind::Graphics, "Graphics", [picture]() { Release(picture); });
  State().pictureOf[graphics] = picture;
  return graphics;
}

void* LoadObjectMethodEntry(HostObject object, const char* declaration) {
  RecordCall("REALLoadObjectMethod", {static_cast<const void*>(object),
                                      declaration == nullptr ? std::string() : std::string(declaration)});
  if (State().pictureOf.count(object) == 0 || declaration == nullptr) return nullptr;
  if (!CurrentPictureHostOptions().offerDrawPictureMethod) return nullptr;
  if (std::string(declaration) != kDrawPictureDeclaration) return nullptr;
  return reinterpret_cast<void*>(&DrawPictureMethod);
}

}  // namespace

void DefineGraphicsEntries() {
  DefineEntry("pluginPictureGraphicsGetter", &PictureGraphicsGetterEntry);
  DefineEntry("REALLoadObjectMethod", &LoadObjectMethodEntry);
  DefineEntry("RuntimeGraphicsDrawPicture", &RuntimeGraphicsDrawPictureEntry);
}

void ResetGraphics() { State() = GraphicsState{}; }

bool GraphicsIntegerProperty(const void* object, const char* name, int32_t* value) {
  auto found = State().pictureOf.find(object);
  if (found == State().pictureOf.end()) return false;
  const Picture* picture = Find(found->second);
  if (picture == nullptr) return false;
  const std::string property(name);
  if (property == "Width") *value = picture->width;
  if (property == "Height") *value = picture->height;
  return property == "Width" || property == "Height";
}

}  // namespace pictures

HostObject GraphicsPicture(HostObject graphics) {
  auto found = pictures::State().pictureOf.find(graphics);
  return found == pictures::State().pictureOf.end() ? nullptr : found->second;
}

}  // namespace simhost
