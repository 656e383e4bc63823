// Tillbridge's registration: the six classes, each with its instance data size
// rounded up to a multiple of 16, then the module. A superclass goes to the host
// before its subclass. No step looks at a result, and no flag word is adapted.
#include "definitions.h"
#include "frame/host_entries.h"
#include "frame/plugin_entry.h"
#include "frame/registration.h"

void RegisterDefinitions() {
  RegisterClassAligned(&gPaymentDefinition);
  RegisterClassAligned(&gProductDefinition);
  RegisterClassAligned(&gMutablePaymentDefinition);
  RegisterClassAligned(&gProductsRequestDefinition);
  RegisterClassAligned(&gPaymentTransactionDefinition);
  RegisterClassAligned(&gPaymentQueueDefinition);
  PluginRegisterModule(&gStoreKitModule.definition);
}
