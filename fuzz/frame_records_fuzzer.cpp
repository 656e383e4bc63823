// Fuzzes the frame's in-place record adjustments: AdaptFlagsToHost over a class
// record with member lists of any length, null lists with any count, counts of 0
// or less, any host version (NaN and infinities included), and RegisterClassAligned
// over any instance data size. Every flag word must gain exactly the low bits its
// high bits ask for (and only from version 2010.029 on), nothing outside the
// counted records may change, and a second pass must change nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/host_abi.h"
#include "frame/plugin_entry.h"
#include "frame/registration.h"

void RegisterDefinitions() {}

namespace {

constexpr int kMaxRecords = 8;
constexpr uint32_t kCanary = 0xA5A5A5A5u;

void Check(bool condition) {
  if (!condition) std::abort();
}

uint32_t Expected(uint32_t flags, bool adapt) {
  if (!adapt) return flags;
  if ((flags & 0x40000u) != 0) flags |= 0x4u;
  if ((flags & 0x80000u) != 0) flags |= 0x8u;
  return flags;
}

// One member list as the fuzzer lays it out: records with guards on both sides,
// and the pointer and count the class record will carry.
template <typename Record>
struct FuzzedList {
  std::vector<Record> storage;  // [guard, records..., guard]
  std::vector<uint32_t> original;
  Record* pointer = nullptr;
  int32_t count = 0;

  void Fill(FuzzedDataProvider& input) {
    const int length = input.ConsumeIntegralInRange(0, kMaxRecords);
    storage.assign(static_cast<size_t>(length) + 2, Record{});
    for (Record& record : storage) record.flags = input.ConsumeIntegral<uint32_t>();
    storage.front().flags = kCanary;
    storage.back().flags = kCanary;
    for (const Record& record : storage) original.push_back(record.flags);
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0:  // null pointer, any count: must not be read
        pointer = nullptr;
        count = input.ConsumeIntegral<int32_t>();
        break;
      case 1:  // a count of zero or less: must not be read
        pointer = storage.data() + 1;
        count = -input.ConsumeIntegralInRange<int32_t>(0, INT32_MAX);
        break;
      default:  // a valid list of up to its length
        pointer = storage.data() + 1;
        count = input.ConsumeIntegralInRange<int32_t>(0, length);
        break;
    }
  }

  void CheckAdapted(bool adapt) const {
    const bool read = pointer != nullptr && count > 0;
    for (size_t i = 0; i < storage.size(); ++i) {
      const bool counted = read && i >= 1 && i <= static_cast<size_t>(count);
      Check(storage[i].flags == (counted ? Expected(original[i], adapt) : original[i]));
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const uint64_t versionBits = input.ConsumeIntegral<uint64_t>();
  double version;
  std::memcpy(&version, &versionBits, sizeof version);
  HostVersion = input.ConsumeBool() ? version : input.PickValueInArray({0.0, 2010.028, 2010.029, 2011.0});
  const bool adapt = HostVersion >= 2010.029;

  FuzzedList<MethodDefinition> methods, classMethods;
  FuzzedList<PropertyDefinition> properties, classProperties;
  methods.Fill(input);
  classMethods.Fill(input);
  properties.Fill(input);
  classProperties.Fill(input);

  ClassDefinition definition{};
  definition.version = 9;
  definition.flags = input.ConsumeIntegral<uint32_t>();
  definition.instanceDataSize = input.ConsumeIntegral<int32_t>();
  definition.methods = methods.pointer;
  definition.methodCount = methods.count;
  definition.classMethods = classMethods.pointer;
  definition.classMethodCount = classMethods.count;
  definition.properties = properties.pointer;
  definition.propertyCount = properties.count;
  definition.classProperties = classProperties.pointer;
  definition.classPropertyCount = classProperties.count;
  const ClassDefinition before = definition;

  AdaptFlagsToHost(&definition);
  Check(definition.flags == Expected(before.flags, adapt));
  methods.CheckAdapted(adapt);
  classMethods.CheckAdapted(adapt);
  properties.CheckAdapted(adapt);
  classProperties.CheckAdapted(adapt);
  Check((definition.flags & before.flags) == before.flags);  // no bit is ever cleared

  // A second pass leaves everything as the first left it.
  const ClassDefinition once = definition;
  const auto methodsOnce = methods.storage;
  AdaptFlagsToHost(&definition);
  Check(std::memcmp(&once, &definition, sizeof definition) == 0);
  for (size_t i = 0; i < methods.storage.size(); ++i) Check(methods.storage[i].flags == methodsOnce[i].flags);

  // Instance data size: the smallest multiple of 16 not below it, or unchanged where
  // none fits in 32 bits; the registration itself finds no host here and is skipped.
  const int64_t stored = before.instanceDataSize;
  int64_t rounded = stored;
  while (rounded % 16 != 0) ++rounded;
  RegisterClassAligned(&definition);
  Check(definition.instanceDataSize == (rounded <= INT32_MAX ? rounded : stored));
  RegisterClassAligned(&definition);
  Check(definition.instanceDataSize == (rounded <= INT32_MAX ? rounded : stored));
  return 0;
}
