// InvokeMember: each argument's kind picks its type in turn, and the result kind
// the return type, so that the function is called exactly as the host's compiler
// would call a function of that declaration.
#include "member_invoke.h"

#include <type_traits>

namespace simhost {
namespace {

static_assert(std::is_same_v<std::variant_alternative_t<static_cast<size_t>(ValueKind::Reference), MemberValue>,
                             const void*> &&
                  std::is_same_v<std::variant_alternative_t<static_cast<size_t>(ValueKind::Int32), MemberValue>,
                                 int32_t> &&
                  std::is_same_v<std::variant_alternative_t<static_cast<size_t>(ValueKind::Double), MemberValue>,
                                 double> &&
                  std::is_same_v<std::variant_alternative_t<static_cast<size_t>(ValueKind::Bool), MemberValue>, bool>,
              "a MemberValue's index is its ValueKind");

template <typename... Bound>
MemberResult CallWith(PluginFunction function, std::optional<ValueKind> result, Bound... bound) {
  if (!result) {
    reinterpret_cast<void (*)(Bound...)>(function)(bound...);
    return std::monostate{};
  }
  switch (*result) {
    case ValueKind::Reference:
      return static_cast<const void*>(reinterpret_cast<void* (*)(Bound...)>(function)(bound...));
    case ValueKind::Int32:
      return reinterpret_cast<int32_t (*)(Bound...)>(function)(bound...);
    case ValueKind::Double:
      return reinterpret_cast<double (*)(Bound...)>(function)(bound...);
    case ValueKind::Bool:
      return reinterpret_cast<bool (*)(Bound...)>(function)(bound...);
  }
  return std::monostate{};
}

template <typename... Bound>
MemberResult Bind(PluginFunction function, const std::vector<MemberValue>& arguments,
                  std::optional<ValueKind> result, Bound... bound) {
  constexpr size_t next = sizeof...(Bound);
  if (next == arguments.size()) return CallWith(function, result, bound...);
  if constexpr (next < kMaxMemberArguments) {
    const MemberValue& value = arguments[next];
    if (auto reference = std::get_if<const void*>(&value)) {
      return Bind(function, arguments, result, bound..., const_cast<void*>(*reference));
    }
    if (auto integer = std::get_if<int32_t>(&value)) return Bind(function, arguments, result, bound..., *integer);
    if (auto real = std::get_if<double>(&value)) return Bind(function, arguments, result, bound..., *real);
    if (auto boolean = std::get_if<bool>(&value)) return Bind(function, arguments, result, bound..., *boolean);
  }
  return std::monostate{};  // more arguments than a call passes: refused by the caller
}

}  // namespace

MemberResult InvokeMember(PluginFunction function, const std::vector<MemberValue>& arguments,
                          std::optional<ValueKind> result) {
  return Bind(function, arguments, result);
}

}  // namespace simhost
