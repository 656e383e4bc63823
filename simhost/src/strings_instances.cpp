// Host strings, class instances, raised exceptions and arrays.
#include <map>

#include "entry_modules.h"
#include "simhost/host.h"
#include "simhost/instances.h"

namespace simhost {
namespace {

struct InstanceState {
  std::map<const void*, std::map<std::string, HostString>> stringProperties;
  std::vector<HostObject> raised;  // the host holds each raised exception's reference
  std::map<const void*, ArrayShape> arrays;
  std::vector<std::string> unknownClasses;
};

InstanceState& State() {
  static InstanceState state;
  return state;
}

bool IsUnknownClass(const std::string& name) {
  for (const std::string& unknown : State().unknownClasses) {
    if (unknown == name) return true;
  }
  return false;
}

HostObject NewInstanceEntry(const char* className) {
  const std::string name = className == nullptr ? std::string() : std::string(className);
  RecordCall("PluginNewInstance", {name});
  if (className == nullptr || IsUnknownClass(name)) return nullptr;
  return NewInstance(name);
}

HostString BuildStringEntry(const char* bytes, int32_t byteCount) {
  std::string text;
  if (bytes != nullptr && byteCount > 0) text.assign(bytes, static_cast<size_t>(byteCount));
  RecordCall("REALBuildString", {text, int64_t{byteCount}});
  if (bytes == nullptr && byteCount != 0) {
    LedgerProblem("REALBuildString called with null bytes and a non-zero count");
    return nullptr;
  }
  if (byteCount < 0) {
    LedgerProblem("REALBuildString called with a negative count");
    return nullptr;
  }
  return CreateString(text);
}

void SetStringEncodingEntry(HostString text, uint32_t encoding) {
  RecordCall("REALSetStringEncoding", {static_cast<const void*>(text), int64_t{encoding}});
  if (!IsAlive(text)) {
    LedgerProblem("REALSetStringEncoding on a string that is not alive");
    return;
  }
  SetStringEncodingOf(text, encoding);
}

bool SetPropValueStringEntry(HostObject object, const char* propertyName, HostString text) {
  const std::string name = propertyName == nullptr ? std::string() : std::string(propertyName);
  RecordCall("REALSetPropValueString", {static_cast<const void*>(object), name, static_cast<const void*>(text)});
  if (object == nullptr || !IsAlive(object)) {
    LedgerProblem("REALSetPropValueString on an object that is not alive");
    return false;
  }
  if (text != nullptr && !IsAlive(text)) {
    LedgerProblem("REALSetPropValueString with a string that is not alive");
    return false;
  }
  auto& properties = State().stringProperties[object];
  if (text != nullptr) Retain(text);
  auto previous = properties.find(name);
  if (previous != properties.end() && previous->second != nullptr) Release(previous->second);
  properties[name] = text;
  return true;
}

void RaiseExceptionEntry(HostObject exception) {
  RecordCall("RuntimeRaiseException", {static_cast<const void*>(exception)});
  if (exception == nullptr) {
    LedgerProblem("RuntimeRaiseException with a null exception");
    return;
  }
  if (!IsAlive(exception)) {
    LedgerProblem("RuntimeRaiseException with an object that is not alive");
    return;
  }
  State().raised.push_back(exception);
}

void UnlockStringEntry(HostString text) {
  RecordCall("REALUnlockString", {static_cast<const void*>(text)});
  Release(text);
}

HostObject CreateBoundedArrayEntry(int32_t elementType, int32_t upperBound) {
  RecordCall("RuntimeArrayCreateSingleDimBoundedArray", {int64_t{elementType}, int64_t{upperBound}});
  HostObject array = CreateObject(ObjectKind::Array, "array");
  State().arrays[array] = ArrayShape{elementType, upperBound};
  return array;
}

}  // namespace

void DefineStringAndInstanceEntries() {
  DefineEntry("PluginNewInstance", &NewInstanceEntry);
  DefineEntry("REALBuildString", &BuildStringEntry);
  DefineEntry("REALSetStringEncoding", &SetStringEncodingEntry);
  DefineEntry("REALSetPropValueString", &SetPropValueStringEntry);
  DefineEntry("RuntimeRaiseException", &RaiseExceptionEntry);
  DefineEntry("REALUnlockString", &UnlockStringEntry);
  DefineEntry("RuntimeArrayCreateSingleDimBoundedArray", &CreateBoundedArrayEntry);
}

void ResetStringsAndInstances() { State() = InstanceState{}; }

void HandleRaisedExceptions() {
  InstanceState& state = State();
  for (auto& [object, properties] : state.stringProperties) {
    for (auto& [name, text] : properties) {
      if (text != nullptr && IsAlive(text)) Release(text);
      text = nullptr;
    }
  }
  for (HostObject exception : state.raised) {
    if (IsAlive(exception)) Release(exception);
  }
  state.raised.clear();
}

std::vector<RaisedException> RaisedExceptions() {
  std::vector<RaisedException> raised;
  for (HostObject exception : State().raised) {
    RaisedException entry{exception, ClassNameOf(exception), std::nullopt};
    auto properties = State().stringProperties.find(exception);
    if (properties != State().stringProperties.end()) {
      auto message = properties->second.find("Message");
      if (message != properties->second.end()) {
        entry.message = message->second == nullptr ? std::string() : StringBytes(message->second);
      }
    }
    raised.push_back(entry);
  }
  return raised;
}

std::optional<std::string> StringProperty(const void* object, const std::string& name) {
  auto properties = State().stringProperties.find(object);
  if (properties == State().stringProperties.end()) return std::nullopt;
  auto value = properties->second.find(name);
  if (value == properties->second.end()) return std::nullopt;
  return value->second == nullptr ? std::string() : StringBytes(value->second);
}

std::optional<ArrayShape> ArrayShapeOf(const void* array) {
  auto found = State().arrays.find(array);
  if (found == State().arrays.end()) return std::nullopt;
  return found->second;
}

void SetUnknownClass(const std::string& className) { State().unknownClasses.push_back(className); }

}  // namespace simhost
