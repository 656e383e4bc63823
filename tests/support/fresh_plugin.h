// Test support: a plug-in loaded from a fresh copy into a freshly reset host.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "simhost/host.h"
#include "simhost/plugin_loader.h"

namespace testsupport {

// Resets the simulated host and loads a fresh copy of the plug-in built beside the
// test executable (without calling REALPluginMain). Unloaded at destruction.
class FreshPlugin {
 public:
  explicit FreshPlugin(const std::string& baseName) {
    simhost::Reset();
    std::string error;
    loaded_ = simhost::LoadFreshPlugin(simhost::PluginBesideExecutable(baseName), plugin_, error);
    EXPECT_TRUE(loaded_) << error;
  }
  ~FreshPlugin() { simhost::UnloadPlugin(plugin_); }
  FreshPlugin(const FreshPlugin&) = delete;
  FreshPlugin& operator=(const FreshPlugin&) = delete;

  bool loaded() const { return loaded_; }
  // The loaded copy's module handle (dlopen / LoadLibraryA).
  void* module() const { return plugin_.module; }

  // Calls REALPluginMain with the simulated host's resolver.
  void Start() const {
    if (plugin_.pluginMain != nullptr) plugin_.pluginMain(simhost::Resolver());
  }

  template <typename Function>
  Function Symbol(const char* name) const {
    Function function = reinterpret_cast<Function>(simhost::PluginSymbol(plugin_, name));
    EXPECT_NE(function, nullptr) << name;
    return function;
  }

 private:
  simhost::LoadedPlugin plugin_;
  bool loaded_ = false;
};

}  // namespace testsupport
