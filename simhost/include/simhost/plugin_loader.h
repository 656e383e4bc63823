// Loading plug-in libraries the way the host does, each time from a fresh copy of
// the file, so that a library's process-wide state (entry caches, host version,
// latches) starts anew whatever was loaded before in this process.
#pragma once

#include <string>

#include "frame/host_abi.h"

namespace simhost {

using PluginMainFunction = void (*)(HostResolver);

struct LoadedPlugin {
  void* module = nullptr;       // dlopen / LoadLibraryA handle
  std::string copyPath;         // the fresh copy that was loaded
  PluginMainFunction pluginMain = nullptr;
};

// Copies the library at path to a unique name beside it and loads the copy. On
// failure returns false and says why in error (the file, the load, or a missing
// REALPluginMain).
bool LoadFreshPlugin(const std::string& path, LoadedPlugin& plugin, std::string& error);

// Another exported symbol of a loaded plug-in, or null.
void* PluginSymbol(const LoadedPlugin& plugin, const char* name);

// Unloads the copy and deletes its file.
void UnloadPlugin(LoadedPlugin& plugin);

// Path of a library built beside the running executable: "Veilpix" gives
// <dir>/Veilpix.dll on Windows, <dir>/Veilpix.so elsewhere.
std::string PluginBesideExecutable(const std::string& baseName);

// The folder of the running executable.
std::string ExecutableDirectory();

}  // namespace simhost
