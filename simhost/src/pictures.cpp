// Pictures and graphics: not modelled yet. Each entry records its call and yields
// what a host without pictures would (null or false), so that every entry of the
// plug-ins' tables is served.
#include "entry_modules.h"
#include "simhost/host.h"

struct PictureDescription;

namespace simhost {
namespace {

bool LockPictureDescriptionTypedEntry(HostObject picture, PictureDescription* description, int32_t type) {
  RecordCall("REALLockPictureDescription", {static_cast<const void*>(picture),
                                            static_cast<const void*>(description), int64_t{type}});
  return false;
}

void LockPictureDescriptionEntry(HostObject picture, PictureDescription* description) {
  RecordCall("lockPictureDescription", {static_cast<const void*>(picture), static_cast<const void*>(description)});
}

void UnlockPictureDescriptionEntry(HostObject picture) {
  RecordCall("unlockPictureDescription", {static_cast<const void*>(picture)});
}

HostObject NewPictureEntry(int32_t width, int32_t height, int32_t depth) {
  RecordCall("newPicture", {int64_t{width}, int64_t{height}, int64_t{depth}});
  return nullptr;
}

HostObject PictureGraphicsGetterEntry(HostObject picture) {
  RecordCall("pluginPictureGraphicsGetter", {static_cast<const void*>(picture)});
  return nullptr;
}

void* LoadObjectMethodEntry(HostObject object, const char* declaration) {
  RecordCall("REALLoadObjectMethod", {static_cast<const void*>(object),
                                      declaration == nullptr ? std::string() : std::string(declaration)});
  return nullptr;
}

bool GetPropValueIntEntry(HostObject object, const char* propertyName, int32_t* value) {
  RecordCall("REALGetPropValueInt", {static_cast<const void*>(object),
                                     propertyName == nullptr ? std::string() : std::string(propertyName),
                                     static_cast<const void*>(value)});
  return false;
}

void PictureClearCacheEntry(HostObject picture) {
  RecordCall("REALPictureClearCache", {static_cast<const void*>(picture)});
}

}  // namespace

void DefinePictureEntries() {
  DefineEntry("REALLockPictureDescription", &LockPictureDescriptionTypedEntry);
  DefineEntry("lockPictureDescription", &LockPictureDescriptionEntry);
  DefineEntry("unlockPictureDescription", &UnlockPictureDescriptionEntry);
  DefineEntry("newPicture", &NewPictureEntry);
  DefineEntry("pluginPictureGraphicsGetter", &PictureGraphicsGetterEntry);
  DefineEntry("REALLoadObjectMethod", &LoadObjectMethodEntry);
  DefineEntry("REALGetPropValueInt", &GetPropValueIntEntry);
  DefineEntry("REALPictureClearCache", &PictureClearCacheEntry);
}

void ResetPictures() {}

}  // namespace simhost
