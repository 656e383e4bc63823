// Values the records of the StoreKit binding share: the record version, the flags
// of classes and members, the instance data a class asks for, and the Handle
// property through which project code keeps a 32-bit integer in each instance.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/host_abi.h"

// Every record is laid out in the version 9 layout of the plug-in interface.
constexpr int32_t kRecordVersion = kPluginInterfaceVersion;
constexpr uint32_t kClassFlags = 0x4;
constexpr uint32_t kMemberFlags = 0x4;
// The parameterless constructors of the product and the transaction.
constexpr uint32_t kPlainConstructorFlags = 0x84;
// Room for Handle; registration rounds it up to 16.
constexpr int32_t kHandleInstanceDataSize = 8;

// "Handle as Integer", read and written by the host itself at byte offset 0 of the
// instance data; nothing in the plug-in reads or writes it.
constexpr PropertyDefinition HandleProperty() {
  return PropertyDefinition{0, "Handle", "Integer", 0x6, kHostAccessor, kHostAccessor, 0, {0, 0, 0}};
}

// The record count of a static member array, as the host's signed count.
template <typename Record, size_t N>
constexpr int32_t CountOf(const Record (&)[N]) {
  static_assert(N <= 1000, "a member list the host can count");
  return static_cast<int32_t>(N);
}
