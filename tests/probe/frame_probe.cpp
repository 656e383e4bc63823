// A test plug-in: the frame plus hooks for its tests, and a RegisterDefinitions
// that exercises each registration step (an extension with adapted flags, an
// aligned class, a module).
#include "frame/host_entries.h"
#include "frame/host_exception.h"
#include "frame/plugin_entry.h"
#include "frame/registration.h"
#include "probe_abi.h"

namespace {

struct ProbeWrapper {
  const char* name;
  intptr_t (*call)(const ProbeArgs& a);
};

intptr_t Word(bool value) { return value ? 1 : 0; }
intptr_t Word(const void* value) { return reinterpret_cast<intptr_t>(value); }

const ProbeWrapper kWrappers[] = {
    {"REALLockObject", [](const ProbeArgs& a) -> intptr_t { REALLockObject(a.object); return 0; }},
    {"REALUnlockObject", [](const ProbeArgs& a) -> intptr_t { REALUnlockObject(a.object); return 0; }},
    {"REALLockPictureDescription",
     [](const ProbeArgs& a) { return Word(REALLockPictureDescription(a.object, a.description, a.first)); }},
    {"lockPictureDescription",
     [](const ProbeArgs& a) -> intptr_t { lockPictureDescription(a.object, a.description); return 0; }},
    {"unlockPictureDescription", [](const ProbeArgs& a) -> intptr_t { unlockPictureDescription(a.object); return 0; }},
    {"newPicture", [](const ProbeArgs& a) { return Word(newPicture(a.first, a.second, a.third)); }},
    {"pluginPictureGraphicsGetter", [](const ProbeArgs& a) { return Word(pluginPictureGraphicsGetter(a.object)); }},
    {"REALLoadObjectMethod", [](const ProbeArgs& a) { return Word(REALLoadObjectMethod(a.object, a.name)); }},
    {"REALGetPropValueInt",
     [](const ProbeArgs& a) { return Word(REALGetPropValueInt(a.object, a.name, a.integerOut)); }},
    {"REALPictureClearCache", [](const ProbeArgs& a) -> intptr_t { REALPictureClearCache(a.object); return 0; }},
    {"PluginRegisterClassExtension",
     [](const ProbeArgs& a) -> intptr_t { PluginRegisterClassExtension(a.classDefinition); return 0; }},
    {"PluginRegisterClass", [](const ProbeArgs& a) -> intptr_t { PluginRegisterClass(a.classDefinition); return 0; }},
    {"PluginRegisterModule",
     [](const ProbeArgs& a) -> intptr_t { PluginRegisterModule(a.moduleDefinition); return 0; }},
    {"PluginNewInstance", [](const ProbeArgs& a) { return Word(PluginNewInstance(a.name)); }},
    {"REALBuildString", [](const ProbeArgs& a) { return Word(REALBuildString(a.name, a.first)); }},
    {"REALSetStringEncoding",
     [](const ProbeArgs& a) -> intptr_t { REALSetStringEncoding(a.text, static_cast<uint32_t>(a.first)); return 0; }},
    {"REALSetPropValueString",
     [](const ProbeArgs& a) { return Word(REALSetPropValueString(a.object, a.name, a.text)); }},
    {"RuntimeRaiseException", [](const ProbeArgs& a) -> intptr_t { RuntimeRaiseException(a.object); return 0; }},
    {"REALUnlockString", [](const ProbeArgs& a) -> intptr_t { REALUnlockString(a.text); return 0; }},
    {"RuntimeArrayCreateSingleDimBoundedArray",
     [](const ProbeArgs& a) { return Word(RuntimeArrayCreateSingleDimBoundedArray(a.first, a.second)); }},
};
constexpr int kWrapperCount = static_cast<int>(sizeof kWrappers / sizeof kWrappers[0]);

// What RegisterDefinitions registers.
MethodDefinition gExtensionMethods[] = {
    {nullptr, nullptr, "First as integer", 0x40000},
    {nullptr, nullptr, "Second as integer", 0x80000},
};
ClassDefinition gExtension = {
    9, "ProbeExtended", nullptr, 0, 0, nullptr, nullptr, nullptr, 0, gExtensionMethods, 2,
    nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, 0xC0000, nullptr, 0, nullptr, 0};
ClassDefinition gAlignedClass = {
    9, "ProbeAligned", nullptr, 8, 0, nullptr, nullptr, nullptr, 0, nullptr, 0,
    nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, 0x40000, nullptr, 0, nullptr, 0};
ModuleDefinition gModule = {9, "ProbeModule", nullptr, 0, nullptr, 0, {0, 0, 0, 0, 0, 0}};

}  // namespace

void RegisterDefinitions() {
  AdaptFlagsToHost(&gExtension);
  PluginRegisterClassExtension(&gExtension);
  RegisterClassAligned(&gAlignedClass);
  PluginRegisterModule(&gModule);
}

extern "C" {
KWZ_PLUGIN_EXPORT int ProbeWrapperCount() { return kWrapperCount; }
KWZ_PLUGIN_EXPORT const char* ProbeWrapperName(int index) {
  return index >= 0 && index < kWrapperCount ? kWrappers[index].name : nullptr;
}
KWZ_PLUGIN_EXPORT intptr_t ProbeCallWrapper(int index, const ProbeArgs* args) {
  return index >= 0 && index < kWrapperCount ? kWrappers[index].call(*args) : 0;
}
KWZ_PLUGIN_EXPORT int ProbeFrameEntryCount() { return HostEntryCount(); }
KWZ_PLUGIN_EXPORT const char* ProbeFrameEntryName(int index) { return HostEntryName(index); }
KWZ_PLUGIN_EXPORT uint32_t ProbeAdaptFlagWord(uint32_t flags) { return AdaptFlagWord(flags); }
KWZ_PLUGIN_EXPORT void ProbeAdaptFlagsToHost(ClassDefinition* definition) { AdaptFlagsToHost(definition); }
KWZ_PLUGIN_EXPORT void ProbeRegisterClassAligned(ClassDefinition* definition) { RegisterClassAligned(definition); }
KWZ_PLUGIN_EXPORT double ProbeHostVersion() { return HostVersion; }
KWZ_PLUGIN_EXPORT void ProbeReadHostVersion() { ReadHostVersion(); }
KWZ_PLUGIN_EXPORT void* ProbeAskHostResolver(const char* name) { return AskHostResolver(name); }
KWZ_PLUGIN_EXPORT void ProbeRaiseHostException(const char* className, const char* message) {
  RaiseHostException(className, message);
}
}
