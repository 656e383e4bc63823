// SKProductsRequestKWZ, SKPaymentTransactionKWZ and SKPaymentQueueKWZ: a request
// for products, one purchase as StoreKit tracks it, and the queue that payments go
// to. Their events are declarations only: nothing here ever looks one up or runs
// it. Member arrays are in the order the host receives them.
//
// Function fields are cast where they are written, so that every record is static
// data, complete before any code runs (DoNothing has the field's own type).
#include "class_record_values.h"
#include "definitions.h"
#include "inert_members.h"

namespace {

// ---- SKProductsRequestKWZ ----

PropertyDefinition gProductsRequestProperties[] = {HandleProperty()};

MethodDefinition gProductsRequestMethods[] = {
    {&DoNothing, nullptr, "Constructor(productIdentifiers() as string)", kMemberFlags},
    {&DoNothing, nullptr, "cancel", kMemberFlags},
    {&DoNothing, nullptr, "start", kMemberFlags},
};

EventDefinition gProductsRequestEvents[] = {
    {"didReceiveResponse(products() as SKProductKWZ, invalidProductIdentifiers() as string)", 0},
    {"didFinish", 0},
    {"didFailWithError(error as NSErrorKWZ)", 0},
};

// ---- SKPaymentTransactionKWZ ----

PropertyDefinition gPaymentTransactionProperties[] = {HandleProperty()};

MethodDefinition gPaymentTransactionMethods[] = {
    {&DoNothing, nullptr, "Constructor", kPlainConstructorFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "transactionIdentifier as string", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnMinusOne), nullptr, "transactionState as integer", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "payment as SKPaymentKWZ", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "transactionDate as date", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "originalTransaction as SKPaymentTransactionKWZ", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "error as NSErrorKWZ", kMemberFlags},
};

ConstantDefinition gPaymentTransactionConstants[] = {
    {"StatePurchasing = 0", {0, 0}},
    {"StatePurchased = 1", {0, 0}},
    {"StateFailed = 2", {0, 0}},
    {"StateRestored = 3", {0, 0}},
};

// ---- SKPaymentQueueKWZ ----

PropertyDefinition gPaymentQueueProperties[] = {HandleProperty()};

MethodDefinition gPaymentQueueMethods[] = {
    {&DoNothing, nullptr, "Constructor", kMemberFlags},
    {&DoNothing, nullptr, "addPayment(payment as SKPaymentKWZ)", kMemberFlags},
    {&DoNothing, nullptr, "finishTransaction(transaction as SKPaymentTransactionKWZ)",
     kMemberFlags},
    {&DoNothing, nullptr, "restoreCompletedTransactions", kMemberFlags},
    {reinterpret_cast<PluginFunction>(&NewEmptyObjectArray), nullptr, "transactions as SKPaymentTransactionKWZ()", kMemberFlags},
};

MethodDefinition gPaymentQueueClassMethods[] = {
    {reinterpret_cast<PluginFunction>(&ReturnZero), nullptr, "canMakePayments as boolean", kMemberFlags},
};

EventDefinition gPaymentQueueEvents[] = {
    {"updatedTransactions(transactions() as SKPaymentTransactionKWZ)", 0},
    {"removedTransactions(transactions() as SKPaymentTransactionKWZ)", 0},
    {"restoreCompletedTransactionsFailedWithError(Error as NSErrorKWZ)", 0},
    {"paymentQueueRestoreCompletedTransactionsFinished", 0},
};

}  // namespace

// Fields in record order: version, name, superclassName, instanceDataSize,
// reserved, constructorFunction, destructorFunction, properties, propertyCount,
// methods, methodCount, events, eventCount, five reserved words, constants,
// constantCount, flags, classProperties, classPropertyCount, classMethods,
// classMethodCount.

ClassDefinition gProductsRequestDefinition = {
    kRecordVersion, "SKProductsRequestKWZ", nullptr, kHandleInstanceDataSize, 0,
    &DoNothing, &DoNothing,
    gProductsRequestProperties, CountOf(gProductsRequestProperties),
    gProductsRequestMethods, CountOf(gProductsRequestMethods),
    gProductsRequestEvents, CountOf(gProductsRequestEvents),
    {0, 0, 0, 0, 0}, nullptr, 0, kClassFlags,
    nullptr, 0, nullptr, 0};

ClassDefinition gPaymentTransactionDefinition = {
    kRecordVersion, "SKPaymentTransactionKWZ", nullptr, kHandleInstanceDataSize, 0,
    &DoNothing, &DoNothing,
    gPaymentTransactionProperties, CountOf(gPaymentTransactionProperties),
    gPaymentTransactionMethods, CountOf(gPaymentTransactionMethods),
    nullptr, 0, {0, 0, 0, 0, 0},
    gPaymentTransactionConstants, CountOf(gPaymentTransactionConstants), kClassFlags,
    nullptr, 0, nullptr, 0};

ClassDefinition gPaymentQueueDefinition = {
    kRecordVersion, "SKPaymentQueueKWZ", nullptr, kHandleInstanceDataSize, 0,
    &DoNothing, &DoNothing,
    gPaymentQueueProperties, CountOf(gPaymentQueueProperties),
    gPaymentQueueMethods, CountOf(gPaymentQueueMethods),
    gPaymentQueueEvents, CountOf(gPaymentQueueEvents),
    {0, 0, 0, 0, 0}, nullptr, 0, kClassFlags,
    nullptr, 0, gPaymentQueueClassMethods, CountOf(gPaymentQueueClassMethods)};
