// Veilpix's registration.
#include "frame/plugin_entry.h"

void RegisterDefinitions() {}
