// One plug-in loaded the way the host loads it: a fresh copy of the library, its
// REALPluginMain called with the simulated host's resolver. The caller resets and
// configures the host first (simhost::Reset, host version, picture options).
#pragma once

#include <string>

#include "simhost/plugin_loader.h"

namespace plughost {

class StartedPlugin {
 public:
  // Fails (ToolError) for a missing or unreadable file, a file that is not a
  // library, and a library without REALPluginMain; each message names path.
  explicit StartedPlugin(const std::string& path);
  ~StartedPlugin();  // unloads the copy and deletes it
  StartedPlugin(const StartedPlugin&) = delete;
  StartedPlugin& operator=(const StartedPlugin&) = delete;

 private:
  simhost::LoadedPlugin plugin_;
};

}  // namespace plughost
