// The expected declarations, written out from what project code is promised.
#include "expected_declarations.h"

namespace storetest {
namespace {

using B = Behaviour;

ExpectedMethod Read(const char* declaration, Behaviour behaviour, int objectParameters = 0, uint32_t flags = 4) {
  return {declaration, flags, behaviour, false, objectParameters};
}

ExpectedMethod Assign(const char* declaration) { return {declaration, 4, B::DoNothing, true, 0}; }

const char* const kPaymentWithProduct = "paymentWithProduct(product as SKProductKWZ) as SKPaymentKWZ";

}  // namespace

const char* BehaviourName(Behaviour behaviour) {
  switch (behaviour) {
    case B::ReturnZero: return "ReturnZero";
    case B::ReturnFalse: return "ReturnFalse";
    case B::ReturnMinusOneDouble: return "ReturnMinusOneDouble";
    case B::ReturnMinusOne: return "ReturnMinusOne";
    case B::DoNothing: return "DoNothing";
    case B::RequireProduct: return "RequireProduct";
    case B::RequirePayment: return "RequirePayment";
    case B::RequireProductReturnNil: return "RequireProductReturnNil";
    case B::NewEmptyObjectArray: return "NewEmptyObjectArray";
  }
  return "?";
}

const std::vector<ExpectedClass>& ExpectedClasses() {
  static const std::vector<ExpectedClass> classes = {
      {"SKPaymentKWZ",
       nullptr,
       16,
       true,
       {Read("Constructor(product as SKProductKWZ)", B::RequireProduct, 1),
        Read("productIdentifier as string", B::ReturnZero), Read("quantity as integer", B::ReturnMinusOne),
        Read("requestData as Memoryblock", B::ReturnZero), Read("copy as SKPaymentKWZ", B::ReturnZero),
        Read("mutableCopy as SKMutablePaymentKWZ", B::ReturnZero)},
       {Read(kPaymentWithProduct, B::RequireProductReturnNil, 1)},
       {},
       {}},
      {"SKProductKWZ",
       nullptr,
       16,
       true,
       {Read("Constructor", B::DoNothing, 0, 0x84), Read("localizedDescription as string", B::ReturnZero),
        Read("localizedTitle as string", B::ReturnZero), Read("productIdentifier as string", B::ReturnZero),
        Read("priceLocale as NSLocaleKWZ", B::ReturnZero), Read("price as double", B::ReturnMinusOneDouble),
        Read("priceString as string", B::ReturnZero)},
       {},
       {},
       {}},
      {"SKMutablePaymentKWZ",
       "SKPaymentKWZ",
       0,
       false,
       {Read("Constructor(payment as SKPaymentKWZ)", B::RequirePayment, 1),
        Read("Constructor(product as SKProductKWZ)", B::RequireProduct, 1), Assign("productIdentifier as string"),
        Assign("quantity as integer"), Assign("requestData as Memoryblock")},
       {Read(kPaymentWithProduct, B::RequireProductReturnNil, 1)},
       {},
       {}},
      {"SKProductsRequestKWZ",
       nullptr,
       16,
       true,
       {Read("Constructor(productIdentifiers() as string)", B::DoNothing, 1), Read("cancel", B::DoNothing),
        Read("start", B::DoNothing)},
       {},
       {"didReceiveResponse(products() as SKProductKWZ, invalidProductIdentifiers() as string)", "didFinish",
        "didFailWithError(error as NSErrorKWZ)"},
       {}},
      {"SKPaymentTransactionKWZ",
       nullptr,
       16,
       true,
       {Read("Constructor", B::DoNothing, 0, 0x84), Read("transactionIdentifier as string", B::ReturnZero),
        Read("transactionState as integer", B::ReturnMinusOne), Read("payment as SKPaymentKWZ", B::ReturnZero),
        Read("transactionDate as date", B::ReturnZero),
        Read("originalTransaction as SKPaymentTransactionKWZ", B::ReturnZero),
        Read("error as NSErrorKWZ", B::ReturnZero)},
       {},
       {},
       {"StatePurchasing = 0", "StatePurchased = 1", "StateFailed = 2", "StateRestored = 3"}},
      {"SKPaymentQueueKWZ",
       nullptr,
       16,
       true,
       {Read("Constructor", B::DoNothing), Read("addPayment(payment as SKPaymentKWZ)", B::DoNothing, 1),
        Read("finishTransaction(transaction as SKPaymentTransactionKWZ)", B::DoNothing, 1),
        Read("restoreCompletedTransactions", B::DoNothing),
        Read("transactions as SKPaymentTransactionKWZ()", B::NewEmptyObjectArray)},
       {Read("canMakePayments as boolean", B::ReturnZero)},
       {"updatedTransactions(transactions() as SKPaymentTransactionKWZ)",
        "removedTransactions(transactions() as SKPaymentTransactionKWZ)",
        "restoreCompletedTransactionsFailedWithError(Error as NSErrorKWZ)",
        "paymentQueueRestoreCompletedTransactionsFinished"},
       {}},
  };
  return classes;
}

const ExpectedModule& ExpectedStoreKitModule() {
  static const ExpectedModule module = {
      "StoreKitKWZ",
      {Read("SKErrorDomain as string", B::ReturnZero), Read("available as Boolean", B::ReturnFalse)},
      {"SKErrorUnknown = 0", "SKErrorClientInvalid = 1", "SKErrorPaymentCancelled = 2", "SKErrorPaymentInvalid = 3",
       "SKErrorPaymentNotAllowed = 4"}};
  return module;
}

}  // namespace storetest
