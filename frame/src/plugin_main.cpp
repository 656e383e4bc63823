// REALPluginMain and ReadHostVersion, the same in both deliverables.
#include "frame/plugin_entry.h"

#include "frame/host_entries.h"

double HostVersion = 0.0;

void ReadHostVersion() {
  auto readVersion = reinterpret_cast<double (*)()>(AskHostResolver("REALGetRBVersion"));
  if (readVersion != nullptr) {
    HostVersion = readVersion();
  }
}

extern "C" void KWZ_CDECL REALPluginMain(HostResolver resolver) {
  StoreHostResolver(resolver);
  auto announceVersion = reinterpret_cast<void (*)(int32_t)>(AskHostResolver("RegisterPluginVersion"));
  if (announceVersion != nullptr) {
    announceVersion(kPluginInterfaceVersion);
  }
  ReadHostVersion();
  RegisterDefinitions();
}
