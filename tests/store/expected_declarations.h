// What project code must see of Tillbridge: every class and the module, with each
// member's declaration, flags and the behaviour that serves it, in the order the
// host receives them.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

namespace storetest {

enum class Behaviour {
  ReturnZero,
  ReturnFalse,
  ReturnMinusOneDouble,
  ReturnMinusOne,
  DoNothing,
  RequireProduct,
  RequirePayment,
  RequireProductReturnNil,
  NewEmptyObjectArray,
};

const char* BehaviourName(Behaviour behaviour);

struct ExpectedMethod {
  const char* declaration;
  uint32_t flags;
  Behaviour behaviour;     // of function, or of setterFunction for an assignment-only record
  bool assignmentOnly;     // null function, a setterFunction
  int objectParameters;    // object or array parameters the declaration takes (0 or 1)
};

struct ExpectedClass {
  const char* name;
  const char* superclassName;  // or null
  int32_t instanceDataSize;    // as registered
  bool keepsHandle;            // Handle property, DoNothing constructor and destructor
  std::vector<ExpectedMethod> methods;
  std::vector<ExpectedMethod> classMethods;
  std::vector<const char*> events;
  std::vector<const char*> constants;
};

struct ExpectedModule {
  const char* name;
  std::vector<ExpectedMethod> methods;
  std::vector<const char*> constants;
};

// Parameterised tests print a class by its name.
inline void PrintTo(const ExpectedClass& c, std::ostream* os) { *os << c.name; }

// The six classes in registration order.
const std::vector<ExpectedClass>& ExpectedClasses();
const ExpectedModule& ExpectedStoreKitModule();

}  // namespace storetest
