// Calling the members a plug-in registered, the way the host does when project
// code uses them. The host finds a member by the exact text of its declaration in
// the records it received (an instance's class first, then its superclasses),
// passes the declared parameters (after the instance, for an instance member) and
// reads the result as the declaration's result type.
//
// A call the host could not make (no such member, unreadable declaration,
// arguments that do not match the declared parameters, a method called on
// something that is not an instance of a registered class) calls nothing, yields
// null and is noted in the ledger.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "simhost/host.h"

namespace simhost {

// How a value crosses the interface: a pointer-sized reference (objects, strings,
// arrays; null for nil), a 32-bit integer, a double or a boolean.
enum class ValueKind { Reference, Int32, Double, Bool };

// An argument, its alternatives in the order of ValueKind.
using MemberValue = std::variant<const void*, int32_t, double, bool>;

// A result as the host read it: nothing (a procedure), or a value.
using MemberResult = std::variant<std::monostate, const void*, int32_t, double, bool>;

// Project code calls or reads an instance member: the first record of the
// instance's class, or else of a superclass, with this declaration and a function,
// called with the instance followed by arguments.
std::optional<MemberResult> CallMethod(HostObject instance, const std::string& declaration,
                                       const std::vector<MemberValue>& arguments = {});

// Project code calls a class method (classMethods of owner or a superclass) or a
// method of the module owner: called with the arguments alone.
std::optional<MemberResult> CallClassMethod(const std::string& owner, const std::string& declaration,
                                            const std::vector<MemberValue>& arguments = {});

// Project code assigns value to an instance member: the first record of the
// instance's class or a superclass with this declaration and a setterFunction,
// called with the instance and the value (of the declaration's result type).
// False when the host could not assign.
bool AssignMember(HostObject instance, const std::string& declaration, const MemberValue& value);

// The results of a call, read as one type: null when the call was not made or
// yielded another type.
std::optional<const void*> ReferenceResult(const std::optional<MemberResult>& result);
std::optional<int32_t> Int32Result(const std::optional<MemberResult>& result);
std::optional<double> DoubleResult(const std::optional<MemberResult>& result);
std::optional<bool> BoolResult(const std::optional<MemberResult>& result);
// True for a call that was made and yields nothing.
bool NoResult(const std::optional<MemberResult>& result);

}  // namespace simhost
