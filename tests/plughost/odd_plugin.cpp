// A plug-in written without our frame, as another author might: it talks to the
// resolver directly and registers records with every kind of member and oddity
// that inspect must show (an old record version, reserved words set, a count
// without a list, function accessors, an entry the host does not offer, a null
// definition).
#include <cstdint>

#include "frame/host_abi.h"

#if defined(_WIN32)
#define ODD_EXPORT __declspec(dllexport)
#else
#define ODD_EXPORT __attribute__((visibility("default")))
#endif

namespace {

void Nothing() {}
int32_t Zero() { return 0; }

PropertyDefinition gProperties[] = {
    {0, "Count", "Integer", 0x1, reinterpret_cast<PropertyAccessor>(&Zero), 0, 7, {0, 0, 0}},
    {0, "Tag", "String", 0x2, kHostAccessor, kHostAccessor, 4, {0, 0, 0}},
};
PropertyDefinition gClassProperties[] = {
    {0, "Shared", "Boolean", 0x3, kHostAccessor, reinterpret_cast<PropertyAccessor>(&Nothing), 0, {0, 5, 0}},
};
MethodDefinition gMethods[] = {
    {reinterpret_cast<PluginFunction>(&Zero), reinterpret_cast<PluginFunction>(&Nothing), "Level as integer",
     0x10},
    {nullptr, reinterpret_cast<PluginFunction>(&Nothing), "Label as string", 0x20},
    {reinterpret_cast<PluginFunction>(&Nothing), nullptr, "Reset()", 0x30},
};
MethodDefinition gClassMethods[] = {
    {reinterpret_cast<PluginFunction>(&Zero), nullptr, "Make() as OddThing", 0x40},
};
ConstantDefinition gConstants[] = {
    {"kOdd = \"a \\ b\"", {0, 0}},
    {"kEven = 2", {9, 0}},
};

ClassDefinition gClass = {
    8, "OddThing", "Object", 12, 0, reinterpret_cast<PluginFunction>(&Nothing), nullptr,
    gProperties, 2, gMethods, 3, nullptr, 2, {0, 0, 1, 0, 0}, gConstants, 2,
    0xABC, gClassProperties, 1, gClassMethods, 1};

EventDefinition gEvents[] = {{"Changed(value as integer)", 0}};
ClassDefinition gExtension = {
    9, "Window", nullptr, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, 0, gEvents, 1,
    {0, 0, 0, 0, 0}, nullptr, 0, 0x1, nullptr, 0, nullptr, 0};

MethodDefinition gModuleMethods[] = {{reinterpret_cast<PluginFunction>(&Zero), nullptr, "Answer() as integer", 0x4}};
ModuleDefinition gModule = {9, "OddModule", gModuleMethods, 1, nullptr, 3, {0, 0, 0, 0, 0, 0}};

}  // namespace

extern "C" ODD_EXPORT void REALPluginMain(HostResolver resolver) {
  using Announce = void (*)(int32_t);
  using RegisterClass = void (*)(ClassDefinition*);
  using RegisterModule = void (*)(ModuleDefinition*);
  if (auto announce = reinterpret_cast<Announce>(resolver("RegisterPluginVersion"))) announce(7);
  resolver("NoSuchEntryKWZ");
  resolver("NoSuchEntryKWZ");
  if (auto registerClass = reinterpret_cast<RegisterClass>(resolver("PluginRegisterClass"))) {
    registerClass(&gClass);
    registerClass(nullptr);
  }
  if (auto extend = reinterpret_cast<RegisterClass>(resolver("PluginRegisterClassExtension"))) extend(&gExtension);
  if (auto registerModule = reinterpret_cast<RegisterModule>(resolver("PluginRegisterModule"))) {
    registerModule(&gModule);
  }
}
