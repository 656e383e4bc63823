// The entry table and the call wrappers. Each wrapper finds its entry through
// BoundEntry, which applies the lazy binding rule, and then either calls through
// the cached address with its arguments unchanged or yields its fallback.
#include "frame/host_entries.h"

#include <cstring>

namespace {

HostResolver gHostResolver = nullptr;

enum EntryIndex {
  kLockObject,
  kUnlockObject,
  kLockPictureDescriptionTyped,
  kLockPictureDescription,
  kUnlockPictureDescription,
  kNewPicture,
  kPictureGraphicsGetter,
  kLoadObjectMethod,
  kGetPropValueInt,
  kPictureClearCache,
  kRegisterClassExtension,
  kRegisterClass,
  kRegisterModule,
  kNewInstance,
  kBuildString,
  kSetStringEncoding,
  kSetPropValueString,
  kRaiseException,
  kUnlockString,
  kCreateBoundedArray,
  kEntryCount
};

HostEntry gEntries[kEntryCount] = {
    {"REALLockObject", nullptr},
    {"REALUnlockObject", nullptr},
    {"REALLockPictureDescription", nullptr},
    {"lockPictureDescription", nullptr},
    {"unlockPictureDescription", nullptr},
    {"newPicture", nullptr},
    {"pluginPictureGraphicsGetter", nullptr},
    {"REALLoadObjectMethod", nullptr},
    {"REALGetPropValueInt", nullptr},
    {"REALPictureClearCache", nullptr},
    {"PluginRegisterClassExtension", nullptr},
    {"PluginRegisterClass", nullptr},
    {"PluginRegisterModule", nullptr},
    {"PluginNewInstance", nullptr},
    {"REALBuildString", nullptr},
    {"REALSetStringEncoding", nullptr},
    {"REALSetPropValueString", nullptr},
    {"RuntimeRaiseException", nullptr},
    {"REALUnlockString", nullptr},
    {"RuntimeArrayCreateSingleDimBoundedArray", nullptr},
};

// The entry's address as a function of type Function, binding it on first use;
// null while the host does not offer it.
template <typename Function>
Function BoundEntry(EntryIndex index) {
  HostEntry& entry = gEntries[index];
  if (entry.address == nullptr) {
    entry.address = AskHostResolver(entry.name);
  }
  return reinterpret_cast<Function>(entry.address);
}

}  // namespace

void StoreHostResolver(HostResolver resolver) { gHostResolver = resolver; }

void* AskHostResolver(const char* entryName) {
  return gHostResolver != nullptr ? gHostResolver(entryName) : nullptr;
}

bool HostOffersEntry(const char* entryName) {
  if (entryName == nullptr) return false;
  for (int index = 0; index < kEntryCount; ++index) {
    if (std::strcmp(gEntries[index].name, entryName) == 0) {
      return BoundEntry<void*>(static_cast<EntryIndex>(index)) != nullptr;
    }
  }
  return false;
}

int HostEntryCount() { return kEntryCount; }

const char* HostEntryName(int index) {
  return index >= 0 && index < kEntryCount ? gEntries[index].name : nullptr;
}

void REALLockObject(HostObject object) {
  if (auto call = BoundEntry<void (*)(HostObject)>(kLockObject)) call(object);
}

void REALUnlockObject(HostObject object) {
  if (auto call = BoundEntry<void (*)(HostObject)>(kUnlockObject)) call(object);
}

bool REALLockPictureDescription(HostObject picture, PictureDescription* description, int32_t type) {
  auto call = BoundEntry<bool (*)(HostObject, PictureDescription*, int32_t)>(kLockPictureDescriptionTyped);
  return call != nullptr && call(picture, description, type);
}

void lockPictureDescription(HostObject picture, PictureDescription* description) {
  if (auto call = BoundEntry<void (*)(HostObject, PictureDescription*)>(kLockPictureDescription)) {
    call(picture, description);
  }
}

void unlockPictureDescription(HostObject picture) {
  if (auto call = BoundEntry<void (*)(HostObject)>(kUnlockPictureDescription)) call(picture);
}

HostObject newPicture(int32_t width, int32_t height, int32_t depth) {
  auto call = BoundEntry<HostObject (*)(int32_t, int32_t, int32_t)>(kNewPicture);
  return call != nullptr ? call(width, height, depth) : nullptr;
}

HostObject pluginPictureGraphicsGetter(HostObject picture) {
  auto call = BoundEntry<HostObject (*)(HostObject)>(kPictureGraphicsGetter);
  return call != nullptr ? call(picture) : nullptr;
}

void* REALLoadObjectMethod(HostObject object, const char* declaration) {
  auto call = BoundEntry<void* (*)(HostObject, const char*)>(kLoadObjectMethod);
  return call != nullptr ? call(object, declaration) : nullptr;
}

bool REALGetPropValueInt(HostObject object, const char* propertyName, int32_t* value) {
  auto call = BoundEntry<bool (*)(HostObject, const char*, int32_t*)>(kGetPropValueInt);
  return call != nullptr && call(object, propertyName, value);
}

void REALPictureClearCache(HostObject picture) {
  if (auto call = BoundEntry<void (*)(HostObject)>(kPictureClearCache)) call(picture);
}

void PluginRegisterClassExtension(ClassDefinition* definition) {
  if (auto call = BoundEntry<void (*)(ClassDefinition*)>(kRegisterClassExtension)) call(definition);
}

void PluginRegisterClass(ClassDefinition* definition) {
  if (auto call = BoundEntry<void (*)(ClassDefinition*)>(kRegisterClass)) call(definition);
}

void PluginRegisterModule(ModuleDefinition* definition) {
  if (auto call = BoundEntry<void (*)(ModuleDefinition*)>(kRegisterModule)) call(definition);
}

HostObject PluginNewInstance(const char* className) {
  auto call = BoundEntry<HostObject (*)(const char*)>(kNewInstance);
  return call != nullptr ? call(className) : nullptr;
}

HostString REALBuildString(const char* bytes, int32_t byteCount) {
  auto call = BoundEntry<HostString (*)(const char*, int32_t)>(kBuildString);
  return call != nullptr ? call(bytes, byteCount) : nullptr;
}

void REALSetStringEncoding(HostString text, uint32_t encoding) {
  if (auto call = BoundEntry<void (*)(HostString, uint32_t)>(kSetStringEncoding)) call(text, encoding);
}

bool REALSetPropValueString(HostObject object, const char* propertyName, HostString text) {
  auto call = BoundEntry<bool (*)(HostObject, const char*, HostString)>(kSetPropValueString);
  return call != nullptr && call(object, propertyName, text);
}

void RuntimeRaiseException(HostObject exception) {
  if (auto call = BoundEntry<void (*)(HostObject)>(kRaiseException)) call(exception);
}

void REALUnlockString(HostString text) {
  if (auto call = BoundEntry<void (*)(HostString)>(kUnlockString)) call(text);
}

HostObject RuntimeArrayCreateSingleDimBoundedArray(int32_t elementType, int32_t upperBound) {
  auto call = BoundEntry<HostObject (*)(int32_t, int32_t)>(kCreateBoundedArray);
  return call != nullptr ? call(elementType, upperBound) : nullptr;
}
