// The inert member functions of the StoreKit binding. StoreKit does not exist on
// this platform, so every member of every declaration is bound to one of these:
// one function per behaviour, serving every declaration with that behaviour. Each
// ignores the arguments it does not look at, so one function serves declarations
// with different parameter lists (the host cleans up the arguments it passed).
//
// Results are sized for the host's reading at either address width: a reference
// result (string, object, array) is pointer-sized, a boolean is the host's bool.
#pragma once

#include <cstdint>

#include "frame/host_abi.h"

// A null reference: the host's empty string for a string result, nil for an object,
// false for a boolean.
void* ReturnZero();
// Boolean false.
bool ReturnFalse();
// The double -1.0.
double ReturnMinusOneDouble();
// The integer -1.
int32_t ReturnMinusOne();
// Nothing at all: constructors, destructors, procedures and assignments.
void DoNothing();

// An instance method taking a product: raises "NilObjectException" with the
// message "product is nil" when the product is nil. The instance is not touched.
void RequireProduct(HostObject instance, HostObject product);
// The same for a payment, with the message "payment is nil".
void RequirePayment(HostObject instance, HostObject payment);
// A class method taking a product: raises as RequireProduct does for a nil
// product, and yields nil either way.
HostObject RequireProductReturnNil(HostObject product);

// A new, empty array of object references (element type 4, upper bound -1),
// handed to the host as the member's result; null when the host offers no arrays.
HostObject NewEmptyObjectArray(HostObject instance);
