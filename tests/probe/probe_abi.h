// The frame probe: a test plug-in built from the frame alone. Besides
// REALPluginMain it exports hooks that let a test drive each frame operation in a
// freshly loaded copy, whose process-wide state starts anew.
#pragma once

#include <cstdint>

#include "frame/host_abi.h"

struct PictureDescription;

extern "C" {

// The arguments a test passes to a wrapper; each wrapper takes the ones it needs.
struct ProbeArgs {
  HostObject object;
  HostString text;
  PictureDescription* description;
  ClassDefinition* classDefinition;
  ModuleDefinition* moduleDefinition;
  const char* name;
  int32_t first, second, third;
  int32_t* integerOut;
};

typedef int (*ProbeWrapperCountFunction)(void);
typedef const char* (*ProbeWrapperNameFunction)(int index);
// Calls wrapper index with args; returns its result widened to a word (0 for none).
typedef intptr_t (*ProbeCallWrapperFunction)(int index, const ProbeArgs* args);
typedef uint32_t (*ProbeAdaptFlagWordFunction)(uint32_t flags);
typedef void (*ProbeDefinitionFunction)(ClassDefinition* definition);
typedef double (*ProbeHostVersionFunction)(void);
typedef void (*ProbeRaiseHostExceptionFunction)(const char* className, const char* message);
}
