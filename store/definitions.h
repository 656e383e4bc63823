// The StoreKit binding's declaration records, static data that live as long as the
// library. The class records are writable: registration rounds their instance
// data size up in place.
#pragma once

#include <cstdint>

#include "frame/host_abi.h"

// The product and payment classes.
extern ClassDefinition gProductDefinition;         // SKProductKWZ
extern ClassDefinition gPaymentDefinition;         // SKPaymentKWZ
extern ClassDefinition gMutablePaymentDefinition;  // SKMutablePaymentKWZ, a subclass of SKPaymentKWZ

// The request, transaction and queue classes.
extern ClassDefinition gProductsRequestDefinition;     // SKProductsRequestKWZ
extern ClassDefinition gPaymentTransactionDefinition;  // SKPaymentTransactionKWZ
extern ClassDefinition gPaymentQueueDefinition;        // SKPaymentQueueKWZ

// A module record followed by one more zero word, so that a host that reads a
// thirteenth word of the record reads zero there too.
struct PaddedModuleDefinition {
  ModuleDefinition definition;
  uint32_t trailingZero;
};

// The StoreKitKWZ module.
extern PaddedModuleDefinition gStoreKitModule;
