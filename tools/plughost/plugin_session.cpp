// Loading and starting a plug-in, with failures told in the user's terms.
#include "plugin_session.h"

#include "errors.h"
#include "file_io.h"
#include "simhost/host.h"

namespace plughost {
namespace {

// The system loader's reason, without the paths the loader's message repeats:
// "cannot load P: COPY: invalid ELF header" gives "invalid ELF header",
// "cannot load P (Windows error 193)" gives "Windows error 193".
std::string LoadFailureReason(const std::string& path, const std::string& error) {
  const size_t colon = error.rfind(": ");
  if (colon != std::string::npos) return error.substr(colon + 2);
  const std::string prefix = "cannot load " + path + " (";
  if (error.rfind(prefix, 0) == 0 && error.size() > prefix.size() && error.back() == ')') {
    return error.substr(prefix.size(), error.size() - prefix.size() - 1);
  }
  return error;
}

// The system loader searches its library path for a bare file name: a name without
// a folder means the file in the current folder, as for every other file argument.
std::string LoaderPath(const std::string& path) {
  if (path.find_first_of("/\\") != std::string::npos) return path;
#if defined(_WIN32)
  return ".\\" + path;
#else
  return "./" + path;
#endif
}

}  // namespace

StartedPlugin::StartedPlugin(const std::string& path) {
  // The loader reads the file to copy it: a file that cannot be read fails here
  // with its own reason, so a copy that fails afterwards is the copy's fault.
  CheckReadableFile(path);
  std::string error;
  if (!simhost::LoadFreshPlugin(LoaderPath(path), plugin_, error)) {
    if (error.rfind("cannot read ", 0) == 0) {
      Fail("cannot make a fresh copy of " + path + " beside it to load (is its folder writable?)");
    }
    if (error.find("REALPluginMain") != std::string::npos) {
      Fail(path + " is a library without REALPluginMain, not a plug-in of this host");
    }
    Fail(path + " is not a plug-in library (" + LoadFailureReason(path, error) + ")");
  }
  plugin_.pluginMain(simhost::Resolver());
}

StartedPlugin::~StartedPlugin() { simhost::UnloadPlugin(plugin_); }

}  // namespace plughost
