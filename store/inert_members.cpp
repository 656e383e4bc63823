// The inert member functions.
#include "inert_members.h"

#include "frame/host_entries.h"
#include "frame/host_exception.h"

namespace {

// The host's element type code for arrays of object references.
constexpr int32_t kObjectElementType = 4;
constexpr int32_t kEmptyUpperBound = -1;

constexpr const char* kNilObjectException = "NilObjectException";

}  // namespace

void* ReturnZero() { return nullptr; }

bool ReturnFalse() { return false; }

double ReturnMinusOneDouble() { return -1.0; }

int32_t ReturnMinusOne() { return -1; }

void DoNothing() {}

void RequireProduct(HostObject /*instance*/, HostObject product) {
  if (product == nullptr) RaiseHostException(kNilObjectException, "product is nil");
}

void RequirePayment(HostObject /*instance*/, HostObject payment) {
  if (payment == nullptr) RaiseHostException(kNilObjectException, "payment is nil");
}

HostObject RequireProductReturnNil(HostObject product) {
  if (product == nullptr) RaiseHostException(kNilObjectException, "product is nil");
  return nullptr;
}

HostObject NewEmptyObjectArray(HostObject /*instance*/) {
  return RuntimeArrayCreateSingleDimBoundedArray(kObjectElementType, kEmptyUpperBound);
}
