// RegisterClassAligned, AdaptFlagWord and AdaptFlagsToHost.
#include "frame/registration.h"

#include "frame/host_entries.h"
#include "frame/plugin_entry.h"

namespace {

constexpr double kFlagAdaptationVersion = 2010.029;
constexpr uint32_t kAsksForBit4 = 0x40000;
constexpr uint32_t kAsksForBit8 = 0x80000;

template <typename Record>
void AdaptListFlags(Record* records, int32_t count) {
  if (records == nullptr || count <= 0) return;
  for (int32_t i = 0; i < count; ++i) {
    records[i].flags = AdaptFlagWord(records[i].flags);
  }
}

}  // namespace

void RegisterClassAligned(ClassDefinition* definition) {
  // Computed in 64 bits: a size near the 32-bit limit must not wrap into a small one.
  const int64_t size = definition->instanceDataSize;
  const int64_t rounded = size + (16 - size % 16) % 16;
  if (rounded <= INT32_MAX) {
    definition->instanceDataSize = static_cast<int32_t>(rounded);
  }
  PluginRegisterClass(definition);
}

uint32_t AdaptFlagWord(uint32_t flags) {
  if ((flags & (kAsksForBit4 | kAsksForBit8)) == 0) return flags;
  if (!(HostVersion >= kFlagAdaptationVersion)) return flags;  // older host, or NaN
  if ((flags & kAsksForBit4) != 0) flags |= 0x4;
  if ((flags & kAsksForBit8) != 0) flags |= 0x8;
  return flags;
}

void AdaptFlagsToHost(ClassDefinition* definition) {
  definition->flags = AdaptFlagWord(definition->flags);
  AdaptListFlags(definition->methods, definition->methodCount);
  AdaptListFlags(definition->classMethods, definition->classMethodCount);
  AdaptListFlags(definition->properties, definition->propertyCount);
  AdaptListFlags(definition->classProperties, definition->classPropertyCount);
}
