// SKProductKWZ, SKPaymentKWZ and SKMutablePaymentKWZ: a product on sale, a
// request to buy one, and a payment whose product identifier, quantity and request
// data project code may assign. Member arrays are in the order the host receives
// them.
//
// Function fields are cast where they are written, so that every record is static
// data, complete before any code runs (DoNothing has the field's own type).
#include "class_record_values.h"
#include "definitions.h"
#include "inert_members.h"

namespace {

// ---- SKProductKWZ ----

PropertyDefinition gProductProperties[] = {HandleProperty()};

MethodDefinition gProductMethods[] = {
    {&DoNothing, nullptr, "Constructor", kPlainConstructorFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "localizedDescription as string", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "localizedTitle as string", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "productIdentifier as string", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "priceLocale as NSLocaleKWZ", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnMinusOneDouble), nullptr, "price as double", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "priceString as string", kMemberFlags},
};

// ---- SKPaymentKWZ ----

PropertyDefinition gPaymentProperties[] = {HandleProperty()};

MethodDefinition gPaymentMethods[] = {
    {reinterpret_cast<PluginFunction>(&RequireProduct), nullptr, "Constructor(product as SKProductKWZ)", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "productIdentifier as string", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnMinusOne), nullptr, "quantity as integer", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "requestData as Memoryblock", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "copy as SKPaymentKWZ", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "mutableCopy as SKMutablePaymentKWZ", kMemberFlags},
};

MethodDefinition gPaymentClassMethods[] = {
    {reinterpret_cast<PluginFunction>(&RequireProductReturnNil), nullptr,
     "paymentWithProduct(product as SKProductKWZ) as SKPaymentKWZ", kMemberFlags},
};

// ---- SKMutablePaymentKWZ ----

// The last three records make the inherited reading members assignable: a setter
// and no function, under the same declarations.
MethodDefinition gMutablePaymentMethods[] = {
    {reinterpret_cast<PluginFunction>(&RequirePayment), nullptr, "Constructor(payment as SKPaymentKWZ)", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&RequireProduct), nullptr, "Constructor(product as SKProductKWZ)", kMemberFlags},
    {nullptr, &DoNothing, "productIdentifier as string", kMemberFlags},
    {nullptr, &DoNothing, "quantity as integer", kMemberFlags},
    {nullptr, &DoNothing, "requestData as Memoryblock", kMemberFlags},
};

MethodDefinition gMutablePaymentClassMethods[] = {
    {reinterpret_cast<PluginFunction>(&RequireProductReturnNil), nullptr,
     "paymentWithProduct(product as SKProductKWZ) as SKPaymentKWZ", kMemberFlags},
};

}  // namespace

// Fields in record order: version, name, superclassName, instanceDataSize,
// reserved, constructorFunction, destructorFunction, properties, propertyCount,
// methods, methodCount, events, eventCount, five reserved words, constants,
// constantCount, flags, classProperties, classPropertyCount, classMethods,
// classMethodCount.

ClassDefinition gProductDefinition = {
    kRecordVersion, "SKProductKWZ", nullptr, kHandleInstanceDataSize, 0,
    &DoNothing, &DoNothing,
    gProductProperties, CountOf(gProductProperties),
    gProductMethods, CountOf(gProductMethods),
    nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, kClassFlags,
    nullptr, 0, nullptr, 0};

ClassDefinition gPaymentDefinition = {
    kRecordVersion, "SKPaymentKWZ", nullptr, kHandleInstanceDataSize, 0,
    &DoNothing, &DoNothing,
    gPaymentProperties, CountOf(gPaymentProperties),
    gPaymentMethods, CountOf(gPaymentMethods),
    nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, kClassFlags,
    nullptr, 0, gPaymentClassMethods, CountOf(gPaymentClassMethods)};

// Inherits Handle and its instance data from SKPaymentKWZ, so it keeps no data
// and needs no constructor or destructor of its own.
ClassDefinition gMutablePaymentDefinition = {
    kRecordVersion, "SKMutablePaymentKWZ", "SKPaymentKWZ", 0, 0,
    nullptr, nullptr,
    nullptr, 0,
    gMutablePaymentMethods, CountOf(gMutablePaymentMethods),
    nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, kClassFlags,
    nullptr, 0, gMutablePaymentClassMethods, CountOf(gMutablePaymentClassMethods)};
