// Veilpix's registration: the "Picture" extension, its flags adapted to the host.
#include "blur/blur_method.h"
#include "frame/host_entries.h"
#include "frame/plugin_entry.h"
#include "frame/registration.h"

void RegisterDefinitions() {
  AdaptFlagsToHost(&gPictureExtension);
  PluginRegisterClassExtension(&gPictureExtension);
}
