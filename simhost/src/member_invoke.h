// Calling a plug-in function through the exact function type a declaration gives
// it: the argument types in order and the result type.
#pragma once

#include <optional>
#include <vector>

#include "simhost/members.h"

namespace simhost {

// The most arguments a call passes (the instance included).
constexpr size_t kMaxMemberArguments = 3;

// Calls function with arguments (at most kMaxMemberArguments) and reads its result
// as result says (none: a procedure).
MemberResult InvokeMember(PluginFunction function, const std::vector<MemberValue>& arguments,
                          std::optional<ValueKind> result);

}  // namespace simhost
