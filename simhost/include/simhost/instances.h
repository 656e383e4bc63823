// The simulated host's class instances, raised exceptions, string properties and
// arrays, as project code would see them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "simhost/host.h"

namespace simhost {

struct RaisedException {
  HostObject exception;
  std::string className;
  std::optional<std::string> message;  // the Message property, when it was set
};

// Every exception raised since Reset(), in order, with its message as it stands now.
std::vector<RaisedException> RaisedExceptions();

// What the host does once project code has handled the raised exceptions: it
// drops its references to them and to the strings their properties hold. Call
// before LedgerReport().
void HandleRaisedExceptions();

// A string property set through REALSetPropValueString ("" for a null text).
std::optional<std::string> StringProperty(const void* object, const std::string& name);

struct ArrayShape {
  int32_t elementType;
  int32_t upperBound;
};
std::optional<ArrayShape> ArrayShapeOf(const void* array);

// PluginNewInstance answers null for this class name from now on (until Reset).
void SetUnknownClass(const std::string& className);

}  // namespace simhost
