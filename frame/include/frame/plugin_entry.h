// The plug-in entry: the one export of each deliverable, and what it runs.
#pragma once

#include "frame/host_abi.h"

#if defined(_WIN32)
#define KWZ_PLUGIN_EXPORT __declspec(dllexport)
#define KWZ_CDECL __cdecl
#else
#define KWZ_PLUGIN_EXPORT __attribute__((visibility("default")))
#define KWZ_CDECL
#endif

// Called once by the host after loading the library, before anything else. Stores
// the resolver, announces interface version 9 through RegisterPluginVersion (when
// offered), reads HostVersion and runs the deliverable's RegisterDefinitions. The
// resolver stays the host's; nothing is returned or reported.
extern "C" KWZ_PLUGIN_EXPORT void KWZ_CDECL REALPluginMain(HostResolver resolver);

// The host's version, 0.0 until ReadHostVersion finds REALGetRBVersion.
extern double HostVersion;

// Asks the resolver for REALGetRBVersion (directly, uncached) and stores its answer
// in HostVersion; without it HostVersion keeps its value.
void ReadHostVersion();

// Each deliverable's own registration, the last step of REALPluginMain.
void RegisterDefinitions();
