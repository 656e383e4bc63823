// Host objects with reference counts, the ledger, and the two reference entries.
#include <map>
#include <memory>

#include "entry_modules.h"
#include "simhost/host.h"

namespace simhost {
namespace {

struct ObjectRecord {
  ObjectKind kind;
  std::string className;
  std::string bytes;  // host strings only
  uint32_t encoding = 0;
  int references = 1;
  std::function<void()> onRelease;
};

struct ObjectTable {
  std::map<const void*, std::unique_ptr<ObjectRecord>> records;
  std::vector<const void*> order;  // creation order, for stable reports
  std::vector<std::string> problems;
  std::vector<std::function<void(std::vector<std::string>&)>> checkers;
};

ObjectTable& Table() {
  static ObjectTable table;
  return table;
}

ObjectRecord* Find(const void* handle) {
  auto found = Table().records.find(handle);
  return found == Table().records.end() ? nullptr : found->second.get();
}

const char* KindName(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Picture: return "picture";
    case ObjectKind::Graphics: return "graphics";
    case ObjectKind::Instance: return "instance";
    case ObjectKind::String: return "string";
    case ObjectKind::Array: return "array";
  }
  return "object";
}

std::string Describe(const void* handle) {
  const ObjectRecord* record = Find(handle);
  if (record == nullptr) return "unknown object";
  std::string text = KindName(record->kind);
  if (!record->className.empty()) text += " " + record->className;
  return text;
}

const void* NewHandle(std::unique_ptr<ObjectRecord> record) {
  const void* handle = record.get();
  Table().records[handle] = std::move(record);
  Table().order.push_back(handle);
  return handle;
}

void LockObjectEntry(HostObject object) {
  RecordCall("REALLockObject", {object});
  Retain(object);
}

void UnlockObjectEntry(HostObject object) {
  RecordCall("REALUnlockObject", {object});
  Release(object);
}

}  // namespace

void DefineObjectEntries() {
  DefineEntry("REALLockObject", &LockObjectEntry);
  DefineEntry("REALUnlockObject", &UnlockObjectEntry);
}

void ResetObjects() {
  ObjectTable& table = Table();
  table.records.clear();
  table.order.clear();
  table.problems.clear();
}

HostObject CreateObject(ObjectKind kind, const std::string& className, std::function<void()> onRelease) {
  auto record = std::make_unique<ObjectRecord>();
  record->kind = kind;
  record->className = className;
  record->onRelease = std::move(onRelease);
  return static_cast<HostObject>(const_cast<void*>(NewHandle(std::move(record))));
}

HostString CreateString(const std::string& bytes) {
  auto record = std::make_unique<ObjectRecord>();
  record->kind = ObjectKind::String;
  record->bytes = bytes;
  return static_cast<HostString>(const_cast<void*>(NewHandle(std::move(record))));
}

bool IsKnownObject(const void* handle) { return Find(handle) != nullptr; }

bool IsAlive(const void* handle) {
  const ObjectRecord* record = Find(handle);
  return record != nullptr && record->references > 0;
}

int References(const void* handle) {
  const ObjectRecord* record = Find(handle);
  return record == nullptr ? 0 : record->references;
}

ObjectKind KindOf(const void* handle) {
  const ObjectRecord* record = Find(handle);
  return record == nullptr ? ObjectKind::Instance : record->kind;
}

const std::string& ClassNameOf(const void* handle) {
  static const std::string none;
  const ObjectRecord* record = Find(handle);
  return record == nullptr ? none : record->className;
}

const std::string& StringBytes(const void* handle) {
  static const std::string none;
  const ObjectRecord* record = Find(handle);
  return record == nullptr ? none : record->bytes;
}

uint32_t StringEncoding(const void* handle) {
  const ObjectRecord* record = Find(handle);
  return record == nullptr ? 0 : record->encoding;
}

void SetStringEncodingOf(const void* handle, uint32_t encoding) {
  if (ObjectRecord* record = Find(handle)) record->encoding = encoding;
}

void Retain(const void* handle) {
  ObjectRecord* record = Find(handle);
  if (record == nullptr) {
    LedgerProblem("reference added to an " + Describe(handle));
  } else if (record->references <= 0) {
    LedgerProblem("reference added to a released " + Describe(handle));
  } else {
    ++record->references;
  }
}

void Release(const void* handle) {
  ObjectRecord* record = Find(handle);
  if (record == nullptr) {
    LedgerProblem("reference dropped from an " + Describe(handle));
  } else if (record->references <= 0) {
    LedgerProblem("reference dropped from a released " + Describe(handle));
  } else if (--record->references == 0 && record->onRelease) {
    auto onRelease = std::move(record->onRelease);
    record->onRelease = nullptr;
    onRelease();
  }
}

std::vector<const void*> LiveObjects() {
  std::vector<const void*> live;
  for (const void* handle : Table().order) {
    if (IsAlive(handle)) live.push_back(handle);
  }
  return live;
}

void LedgerProblem(const std::string& problem) { Table().problems.push_back(problem); }

void AddLedgerChecker(std::function<void(std::vector<std::string>&)> checker) {
  Table().checkers.push_back(std::move(checker));
}

std::vector<std::string> LedgerReport(const std::vector<std::pair<const void*, int>>& owned) {
  std::vector<std::string> report = Table().problems;
  for (const void* handle : LiveObjects()) {
    bool isOwned = false;
    for (const auto& entry : owned) isOwned = isOwned || entry.first == handle;
    if (!isOwned) {
      report.push_back("leaked " + Describe(handle) + " with " + std::to_string(References(handle)) +
                       " reference(s)");
    }
  }
  for (const auto& [handle, expected] : owned) {
    if (References(handle) != expected) {
      report.push_back(Describe(handle) + " has " + std::to_string(References(handle)) +
                       " reference(s), expected " + std::to_string(expected));
    }
  }
  for (const auto& checker : Table().checkers) checker(report);
  return report;
}

}  // namespace simhost
