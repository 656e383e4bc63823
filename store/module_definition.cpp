// The StoreKitKWZ module: whether StoreKit is available (never, here), its error
// domain, and StoreKit's error codes for project code. No member returns or raises
// the codes.
//
// Function fields are cast where they are written, so that every record is static
// data, complete before any code runs.
#include "class_record_values.h"
#include "definitions.h"
#include "inert_members.h"

namespace {

MethodDefinition gStoreKitMethods[] = {
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "SKErrorDomain as string", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnFalse), nullptr, "available as Boolean", kMemberFlags},
};

ConstantDefinition gStoreKitConstants[] = {
    {"SKErrorUnknown = 0", {0, 0}},
    {"SKErrorClientInvalid = 1", {0, 0}},
    {"SKErrorPaymentCancelled = 2", {0, 0}},
    {"SKErrorPaymentInvalid = 3", {0, 0}},
    {"SKErrorPaymentNotAllowed = 4", {0, 0}},
};

}  // namespace

PaddedModuleDefinition gStoreKitModule = {
    {kRecordVersion, "StoreKitKWZ", gStoreKitMethods, CountOf(gStoreKitMethods), gStoreKitConstants,
     CountOf(gStoreKitConstants), {0, 0, 0, 0, 0, 0}},
    0};
