// RaiseHostException.
#include "frame/host_exception.h"

#include <cstdint>
#include <cstring>

#include "frame/host_entries.h"

namespace {

// Marks a host string's bytes as US-ASCII.
constexpr uint32_t kUsAsciiEncoding = 0x600;

// The message as a new host string, or null for a null or empty message (or when
// the host builds none). A message longer than a host string can count is cut at
// that count.
HostString BuildMessage(const char* message) {
  if (message == nullptr || message[0] == '\0') return nullptr;
  const size_t length = std::strlen(message);
  const int32_t byteCount = length > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(length);
  return REALBuildString(message, byteCount);
}

}  // namespace

void RaiseHostException(const char* className, const char* message) {
  HostObject exception = PluginNewInstance(className);
  HostString text = BuildMessage(message);
  if (text != nullptr) REALSetStringEncoding(text, kUsAsciiEncoding);
  // A null instance is neither raised nor given a property: the host has nothing
  // to raise, and setting a property on nil is a fault of its own.
  if (exception != nullptr) {
    RuntimeRaiseException(exception);
    REALSetPropValueString(exception, "Message", text);
  }
  if (text != nullptr) REALUnlockString(text);
}
