// The simulated host's class instances, raised exceptions, string properties and
// arrays, as project code would see them.
#pragma once

#include <cstddef>
#include <cstdint>
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

// A new instance of className with one reference for the caller, as project
// code's New makes it (PluginNewInstance serves this too, recording its call). For
// a registered class the host keeps, per class of its chain, that class's
// instanceDataSize bytes of zeroed instance data, calls each constructorFunction
// (superclass first) with the instance, and calls each destructorFunction
// (subclass first) when the last reference goes. Any other name gives a plain
// instance of that name.
HostObject NewInstance(const std::string& className);

// Instances of registered classes carry the instance data of every class of their chain. The host reads and
// assigns an Integer property whose accessors are kHostAccessor itself: the 32-bit
// value at byte offset param of the data of the class that declares it (the
// instance's class or a superclass). A property the host cannot reach that way
// yields null or false and is noted in the ledger.
std::optional<int32_t> ReadIntegerProperty(HostObject instance, const std::string& name);
bool AssignIntegerProperty(HostObject instance, const std::string& name, int32_t value);
// The bytes of instance data the host keeps for className's part of instance;
// null when instance has no such part.
std::optional<size_t> InstanceDataSize(HostObject instance, const std::string& className);

// PluginNewInstance answers null for this class name from now on (until Reset).
void SetUnknownClass(const std::string& className);

}  // namespace simhost
