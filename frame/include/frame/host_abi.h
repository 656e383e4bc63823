// The host's plug-in interface, version 9: opaque host references, the entry-point
// resolver and the declaration records a plug-in hands to the host.
//
// Every record is a plain C-compatible struct. In the 32-bit deliverables each
// field is 32 bits wide, little-endian, without gaps; the static_asserts at the end
// pin every size and offset of that layout. In a native 64-bit build the same
// records with pointer-sized pointer fields are the layout our simulated host reads.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Opaque, reference-counted host objects (pictures, graphics, instances, arrays)
// and host strings. The plug-in never looks inside them.
typedef struct HostObjectOpaque* HostObject;
typedef struct HostStringOpaque* HostString;

// The host's entry-point lookup: takes an entry name (NUL-terminated, matched
// exactly, case included) and returns the entry point's address, or null when the
// host does not offer it.
typedef void* (*HostResolver)(const char* entryName);

// Address of a plug-in function as stored in a record; the host calls it with the
// arguments of the member's declaration.
typedef void (*PluginFunction)(void);

// A property accessor: a function address, or kHostAccessor (all bits set).
typedef uintptr_t PropertyAccessor;

struct PropertyDefinition {
  uint32_t reserved0;        // zero
  const char* name;          // property name
  const char* type;          // host type name, such as "Integer"
  uint32_t flags;
  PropertyAccessor getter;   // function, or kHostAccessor: the host reads instance data at param
  PropertyAccessor setter;   // function, or kHostAccessor: the host writes instance data at param
  int32_t param;             // accessor parameter, or byte offset in the instance data
  uint32_t reserved1[3];     // zero
};

struct MethodDefinition {
  PluginFunction function;        // called when project code calls or reads the member, or null
  PluginFunction setterFunction;  // called when project code assigns to the member, or null
  const char* declaration;        // e.g. "BlurKWZ(Radius as double) as picture"
  uint32_t flags;
};

struct EventDefinition {
  const char* declaration;
  uint32_t reserved;  // zero
};

struct ConstantDefinition {
  const char* declaration;  // "Name = value"
  uint32_t reserved[2];     // zero
};

struct ClassDefinition {
  int32_t version;                  // 9
  const char* name;                 // class name, or the host class an extension extends
  const char* superclassName;       // or null
  int32_t instanceDataSize;         // bytes the host keeps with each instance
  uint32_t reserved0;               // zero
  PluginFunction constructorFunction;
  PluginFunction destructorFunction;
  PropertyDefinition* properties;
  int32_t propertyCount;
  MethodDefinition* methods;        // instance methods
  int32_t methodCount;
  EventDefinition* events;
  int32_t eventCount;
  uint32_t reserved1[5];            // zero
  ConstantDefinition* constants;
  int32_t constantCount;
  uint32_t flags;
  PropertyDefinition* classProperties;
  int32_t classPropertyCount;
  MethodDefinition* classMethods;   // called on the class itself, without an instance
  int32_t classMethodCount;
};

struct ModuleDefinition {
  int32_t version;  // 9
  const char* name;
  MethodDefinition* methods;  // called without an instance
  int32_t methodCount;
  ConstantDefinition* constants;
  int32_t constantCount;
  uint32_t reserved[6];  // zero
};

}  // extern "C"

// The accessor value "-1": all bits set at either pointer width.
constexpr PropertyAccessor kHostAccessor = ~PropertyAccessor{0};

// The plug-in interface version both deliverables announce and lay out their records in.
constexpr int32_t kPluginInterfaceVersion = 9;

// A record's function field takes a plug-in function of any signature through
// reinterpret_cast<PluginFunction>, written in the initialiser itself so that the
// table stays static data, complete before any code of the library runs.

#if UINTPTR_MAX == 0xFFFFFFFFu
// The 32-bit layout the host reads, byte for byte.
static_assert(sizeof(PropertyDefinition) == 40, "PropertyDefinition is 40 bytes");
static_assert(offsetof(PropertyDefinition, reserved0) == 0, "");
static_assert(offsetof(PropertyDefinition, name) == 4, "");
static_assert(offsetof(PropertyDefinition, type) == 8, "");
static_assert(offsetof(PropertyDefinition, flags) == 12, "");
static_assert(offsetof(PropertyDefinition, getter) == 16, "");
static_assert(offsetof(PropertyDefinition, setter) == 20, "");
static_assert(offsetof(PropertyDefinition, param) == 24, "");
static_assert(offsetof(PropertyDefinition, reserved1) == 28, "");

static_assert(sizeof(MethodDefinition) == 16, "MethodDefinition is 16 bytes");
static_assert(offsetof(MethodDefinition, function) == 0, "");
static_assert(offsetof(MethodDefinition, setterFunction) == 4, "");
static_assert(offsetof(MethodDefinition, declaration) == 8, "");
static_assert(offsetof(MethodDefinition, flags) == 12, "");

static_assert(sizeof(EventDefinition) == 8, "EventDefinition is 8 bytes");
static_assert(offsetof(EventDefinition, declaration) == 0, "");
static_assert(offsetof(EventDefinition, reserved) == 4, "");

static_assert(sizeof(ConstantDefinition) == 12, "ConstantDefinition is 12 bytes");
static_assert(offsetof(ConstantDefinition, declaration) == 0, "");
static_assert(offsetof(ConstantDefinition, reserved) == 4, "");

static_assert(sizeof(ClassDefinition) == 100, "ClassDefinition is 100 bytes");
static_assert(offsetof(ClassDefinition, version) == 0, "");
static_assert(offsetof(ClassDefinition, name) == 4, "");
static_assert(offsetof(ClassDefinition, superclassName) == 8, "");
static_assert(offsetof(ClassDefinition, instanceDataSize) == 12, "");
static_assert(offsetof(ClassDefinition, reserved0) == 16, "");
static_assert(offsetof(ClassDefinition, constructorFunction) == 20, "");
static_assert(offsetof(ClassDefinition, destructorFunction) == 24, "");
static_assert(offsetof(ClassDefinition, properties) == 28, "");
static_assert(offsetof(ClassDefinition, propertyCount) == 32, "");
static_assert(offsetof(ClassDefinition, methods) == 36, "");
static_assert(offsetof(ClassDefinition, methodCount) == 40, "");
static_assert(offsetof(ClassDefinition, events) == 44, "");
static_assert(offsetof(ClassDefinition, eventCount) == 48, "");
static_assert(offsetof(ClassDefinition, reserved1) == 52, "");
static_assert(offsetof(ClassDefinition, constants) == 72, "");
static_assert(offsetof(ClassDefinition, constantCount) == 76, "");
static_assert(offsetof(ClassDefinition, flags) == 80, "");
static_assert(offsetof(ClassDefinition, classProperties) == 84, "");
static_assert(offsetof(ClassDefinition, classPropertyCount) == 88, "");
static_assert(offsetof(ClassDefinition, classMethods) == 92, "");
static_assert(offsetof(ClassDefinition, classMethodCount) == 96, "");

static_assert(sizeof(ModuleDefinition) == 48, "ModuleDefinition is 48 bytes");
static_assert(offsetof(ModuleDefinition, version) == 0, "");
static_assert(offsetof(ModuleDefinition, name) == 4, "");
static_assert(offsetof(ModuleDefinition, methods) == 8, "");
static_assert(offsetof(ModuleDefinition, methodCount) == 12, "");
static_assert(offsetof(ModuleDefinition, constants) == 16, "");
static_assert(offsetof(ModuleDefinition, constantCount) == 20, "");
static_assert(offsetof(ModuleDefinition, reserved) == 24, "");
#endif
