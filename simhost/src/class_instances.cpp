// Instances of registered classes: their instance data, their constructors and
// destructors, and the host's own access to properties kept in the data.
#include <cctype>
#include <cstring>
#include <map>
#include <memory>

#include "class_chain.h"
#include "entry_modules.h"
#include "simhost/instances.h"

namespace simhost {
namespace {

// A chain longer than this is taken for a cycle of superclass names.
constexpr size_t kLongestChain = 64;

struct ClassData {
  std::string className;
  std::vector<unsigned char> bytes;
};

// Per instance, the data of each class of its chain, nearest first.
std::map<const void*, std::vector<ClassData>>& InstanceData() {
  static std::map<const void*, std::vector<ClassData>> data;
  return data;
}

const Registration* FindClass(const std::string& name) {
  for (const Registration& r : Registrations()) {
    if (r.kind == RegistrationKind::Class && r.name == name) return &r;
  }
  return nullptr;
}

void CallLifecycleFunction(PluginFunction function, HostObject instance) {
  if (function != nullptr) reinterpret_cast<void (*)(HostObject)>(function)(instance);
}

void DestroyInstance(HostObject instance) {
  for (const Registration* r : ClassChain(ClassNameOf(instance))) {
    CallLifecycleFunction(r->destructorFunction, instance);
  }
  InstanceData().erase(instance);
}

bool IsIntegerType(const std::string& type) {
  std::string lowered = type;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered == "integer";
}

// The 4 bytes of the integer property name in instance's data, or null (and a
// ledger problem) where the host could not reach them itself.
unsigned char* IntegerPropertyBytes(HostObject instance, const std::string& name) {
  auto data = InstanceData().find(instance);
  if (data == InstanceData().end() || !IsAlive(instance)) {
    LedgerProblem("property " + name + " of something that is not a live instance of a registered class");
    return nullptr;
  }
  for (ClassData& classData : data->second) {
    const Registration* r = FindClass(classData.className);
    if (r == nullptr) continue;
    for (const CapturedProperty& property : r->properties) {
      if (property.name != name) continue;
      if (!IsIntegerType(property.type) || property.getter != kHostAccessor || property.setter != kHostAccessor) {
        LedgerProblem("property " + name + " of " + r->name + " is not an integer the host keeps itself");
        return nullptr;
      }
      if (property.param < 0 || static_cast<size_t>(property.param) + 4 > classData.bytes.size()) {
        LedgerProblem("property " + name + " of " + r->name + " lies outside its instance data");
        return nullptr;
      }
      return classData.bytes.data() + property.param;
    }
  }
  LedgerProblem("no property " + name + " in class " + ClassNameOf(instance));
  return nullptr;
}

}  // namespace

void ResetClassInstances() { InstanceData().clear(); }

std::vector<const Registration*> ClassChain(const std::string& className) {
  std::vector<const Registration*> chain;
  for (const Registration* r = FindClass(className); r != nullptr && chain.size() < kLongestChain;
       r = r->superclassName ? FindClass(*r->superclassName) : nullptr) {
    chain.push_back(r);
  }
  return chain;
}

HostObject NewInstance(const std::string& className) {
  const std::vector<const Registration*> chain = ClassChain(className);
  if (chain.empty()) return CreateObject(ObjectKind::Instance, className);
  // The destructors need the handle, which exists only once the object does.
  auto self = std::make_shared<HostObject>(nullptr);
  HostObject instance = CreateObject(ObjectKind::Instance, className, [self] { DestroyInstance(*self); });
  *self = instance;
  std::vector<ClassData>& data = InstanceData()[instance];
  for (const Registration* r : chain) {
    data.push_back({r->name, std::vector<unsigned char>(r->instanceDataSize > 0
                                                            ? static_cast<size_t>(r->instanceDataSize)
                                                            : 0)});
  }
  for (auto r = chain.rbegin(); r != chain.rend(); ++r) CallLifecycleFunction((*r)->constructorFunction, instance);
  return instance;
}

std::optional<int32_t> ReadIntegerProperty(HostObject instance, const std::string& name) {
  const unsigned char* bytes = IntegerPropertyBytes(instance, name);
  if (bytes == nullptr) return std::nullopt;
  int32_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

bool AssignIntegerProperty(HostObject instance, const std::string& name, int32_t value) {
  unsigned char* bytes = IntegerPropertyBytes(instance, name);
  if (bytes == nullptr) return false;
  std::memcpy(bytes, &value, sizeof value);
  return true;
}

std::optional<size_t> InstanceDataSize(HostObject instance, const std::string& className) {
  auto data = InstanceData().find(instance);
  if (data == InstanceData().end()) return std::nullopt;
  for (const ClassData& classData : data->second) {
    if (classData.className == className) return classData.bytes.size();
  }
  return std::nullopt;
}

}  // namespace simhost
