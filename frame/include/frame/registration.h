// Adjusting declaration records in place just before they go to the host.
#pragma once

#include <cstdint>

#include "frame/host_abi.h"

// Raises instanceDataSize to the smallest multiple of 16 not less than it (in the
// record itself), then registers the class with PluginRegisterClass. A size with no
// such multiple in 32 bits is left as it is rather than wrapped. The record stays
// the plug-in's static data.
void RegisterClassAligned(ClassDefinition* definition);

// Under a host of version 2010.029 or later (HostVersion), bit 0x40000 adds 0x4 and
// bit 0x80000 adds 0x8; no bit is ever cleared. Older hosts, and a version that is
// not a number, get the word unchanged.
uint32_t AdaptFlagWord(uint32_t flags);

// Replaces, in place, the class's flags and the flags of every record in methods,
// classMethods, properties and classProperties by their AdaptFlagWord. A list whose
// pointer is null or whose count is 0 or less is not touched.
void AdaptFlagsToHost(ClassDefinition* definition);
