// Finding a registered member by its declaration and calling it as the host does.
#include "simhost/members.h"

#include "class_chain.h"
#include "declarations.h"
#include "member_invoke.h"

namespace simhost {
namespace {

enum class Use { Call, Assign };

PluginFunction FunctionFor(const CapturedMethod& method, Use use) {
  return use == Use::Call ? method.function : method.setterFunction;
}

// The first record in methods with this declaration that serves use.
const CapturedMethod* FindIn(const std::vector<CapturedMethod>& methods, const std::string& declaration, Use use) {
  for (const CapturedMethod& method : methods) {
    if (method.declaration == declaration && FunctionFor(method, use) != nullptr) return &method;
  }
  return nullptr;
}

// The instance method project code reaches through instance's class.
const CapturedMethod* FindInstanceMember(HostObject instance, const std::string& declaration, Use use) {
  for (const Registration* r : ClassChain(ClassNameOf(instance))) {
    if (const CapturedMethod* method = FindIn(r->methods, declaration, use)) return method;
  }
  return nullptr;
}

// A class method of a registered class (or a superclass), or a module method.
const CapturedMethod* FindClassMember(const std::string& owner, const std::string& declaration) {
  for (const Registration& r : Registrations()) {
    if (r.kind == RegistrationKind::Module && r.name == owner) return FindIn(r.methods, declaration, Use::Call);
  }
  for (const Registration* r : ClassChain(owner)) {
    if (const CapturedMethod* method = FindIn(r->classMethods, declaration, Use::Call)) return method;
  }
  return nullptr;
}

ValueKind ValueKindOf(const MemberValue& value) { return static_cast<ValueKind>(value.index()); }

bool Matches(const std::vector<ValueKind>& declared, const std::vector<MemberValue>& arguments) {
  if (declared.size() != arguments.size()) return false;
  for (size_t i = 0; i < declared.size(); ++i) {
    if (ValueKindOf(arguments[i]) != declared[i]) return false;
  }
  return true;
}

bool IsLiveClassInstance(HostObject instance) {
  return instance != nullptr && IsAlive(instance) && KindOf(instance) == ObjectKind::Instance &&
         !ClassChain(ClassNameOf(instance)).empty();
}

// Checks the call the host is asked to make and makes it. leading: the instance,
// for an instance member.
std::optional<MemberResult> Call(const std::string& what, const CapturedMethod* method, Use use,
                                 const std::vector<MemberValue>& leading, const std::vector<MemberValue>& values) {
  const bool readsResult = use == Use::Call;
  if (method == nullptr) {
    LedgerProblem("no registered member for " + what);
    return std::nullopt;
  }
  const std::optional<DeclarationShape> shape = ReadDeclaration(method->declaration);
  if (!shape) {
    LedgerProblem("unreadable declaration \"" + method->declaration + "\"");
    return std::nullopt;
  }
  std::vector<ValueKind> declared = shape->parameters;
  if (!readsResult) {  // an assignment passes one value of the member's type
    if (!shape->result) {
      LedgerProblem("assignment to a member without a type: " + what);
      return std::nullopt;
    }
    declared = {*shape->result};
  }
  if (!Matches(declared, values)) {
    LedgerProblem("arguments that do not match the declaration: " + what);
    return std::nullopt;
  }
  std::vector<MemberValue> arguments = leading;
  arguments.insert(arguments.end(), values.begin(), values.end());
  if (arguments.size() > kMaxMemberArguments) {
    LedgerProblem("more arguments than the simulated host passes: " + what);
    return std::nullopt;
  }
  return InvokeMember(FunctionFor(*method, use), arguments, readsResult ? shape->result : std::nullopt);
}

}  // namespace

std::optional<MemberResult> CallMethod(HostObject instance, const std::string& declaration,
                                       const std::vector<MemberValue>& arguments) {
  const std::string what = "\"" + declaration + "\" of " + ClassNameOf(instance);
  if (!IsLiveClassInstance(instance)) {
    LedgerProblem("method called on something that is not a live class instance: " + what);
    return std::nullopt;
  }
  const CapturedMethod* method = FindInstanceMember(instance, declaration, Use::Call);
  return Call(what, method, Use::Call, {static_cast<const void*>(instance)}, arguments);
}

std::optional<MemberResult> CallClassMethod(const std::string& owner, const std::string& declaration,
                                            const std::vector<MemberValue>& arguments) {
  const CapturedMethod* method = FindClassMember(owner, declaration);
  return Call("\"" + declaration + "\" of " + owner, method, Use::Call, {}, arguments);
}

bool AssignMember(HostObject instance, const std::string& declaration, const MemberValue& value) {
  const std::string what = "assignment \"" + declaration + "\" of " + ClassNameOf(instance);
  if (!IsLiveClassInstance(instance)) {
    LedgerProblem("member assigned on something that is not a live class instance: " + what);
    return false;
  }
  const CapturedMethod* method = FindInstanceMember(instance, declaration, Use::Assign);
  return Call(what, method, Use::Assign, {static_cast<const void*>(instance)}, {value}).has_value();
}

std::optional<const void*> ReferenceResult(const std::optional<MemberResult>& result) {
  if (!result) return std::nullopt;
  if (auto value = std::get_if<const void*>(&*result)) return *value;
  return std::nullopt;
}

std::optional<int32_t> Int32Result(const std::optional<MemberResult>& result) {
  if (!result) return std::nullopt;
  if (auto value = std::get_if<int32_t>(&*result)) return *value;
  return std::nullopt;
}

std::optional<double> DoubleResult(const std::optional<MemberResult>& result) {
  if (!result) return std::nullopt;
  if (auto value = std::get_if<double>(&*result)) return *value;
  return std::nullopt;
}

std::optional<bool> BoolResult(const std::optional<MemberResult>& result) {
  if (!result) return std::nullopt;
  if (auto value = std::get_if<bool>(&*result)) return *value;
  return std::nullopt;
}

bool NoResult(const std::optional<MemberResult>& result) {
  return result.has_value() && std::holds_alternative<std::monostate>(*result);
}

}  // namespace simhost
