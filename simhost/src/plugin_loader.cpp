// Fresh-copy loading of plug-in libraries through the platform's loader.
#include "simhost/plugin_loader.h"

#include <atomic>
#include <cstdio>
#include <fstream>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace simhost {
namespace {

#if defined(_WIN32)
const char kLibrarySuffix[] = ".dll";
int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }
#else
const char kLibrarySuffix[] = ".so";
int ProcessId() { return static_cast<int>(getpid()); }
#endif

bool CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << in.rdbuf();
  return static_cast<bool>(out.flush());
}

std::string UniqueCopyName(const std::string& path) {
  static std::atomic<int> counter{0};
  std::string stem = path;
  std::string suffix;
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    stem = path.substr(0, dot);
    suffix = path.substr(dot);
  }
  return stem + ".fresh-" + std::to_string(ProcessId()) + "-" + std::to_string(++counter) + suffix;
}

}  // namespace

bool LoadFreshPlugin(const std::string& path, LoadedPlugin& plugin, std::string& error) {
  plugin = LoadedPlugin{};
  const std::string copy = UniqueCopyName(path);
  if (!CopyFile(path, copy)) {
    error = "cannot read " + path;
    std::remove(copy.c_str());
    return false;
  }
#if defined(_WIN32)
  HMODULE module = LoadLibraryA(copy.c_str());
  if (module == nullptr) {
    error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    std::remove(copy.c_str());
    return false;
  }
  plugin.module = module;
#else
  void* module = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
    std::remove(copy.c_str());
    return false;
  }
  plugin.module = module;
#endif
  plugin.copyPath = copy;
  plugin.pluginMain = reinterpret_cast<PluginMainFunction>(PluginSymbol(plugin, "REALPluginMain"));
  if (plugin.pluginMain == nullptr) {
    error = path + " does not export REALPluginMain";
    UnloadPlugin(plugin);
    return false;
  }
  return true;
}

void* PluginSymbol(const LoadedPlugin& plugin, const char* name) {
  if (plugin.module == nullptr) return nullptr;
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(plugin.module), name));
#else
  return dlsym(plugin.module, name);
#endif
}

void UnloadPlugin(LoadedPlugin& plugin) {
  if (plugin.module != nullptr) {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(plugin.module));
#else
    dlclose(plugin.module);
#endif
  }
  if (!plugin.copyPath.empty()) std::remove(plugin.copyPath.c_str());
  plugin = LoadedPlugin{};
}

std::string ExecutableDirectory() {
#if defined(_WIN32)
  char buffer[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, length);
#else
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path(buffer, length > 0 ? static_cast<size_t>(length) : 0);
#endif
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string PluginBesideExecutable(const std::string& baseName) {
#if defined(_WIN32)
  return ExecutableDirectory() + "\\" + baseName + kLibrarySuffix;
#else
  return ExecutableDirectory() + "/" + baseName + kLibrarySuffix;
#endif
}

}  // namespace simhost
