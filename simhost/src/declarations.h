// Reading a member declaration the way the host does, to know how to call the
// member's function: the parameters it passes and how it reads the result.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "simhost/members.h"

namespace simhost {

struct DeclarationShape {
  std::string name;
  std::vector<ValueKind> parameters;
  std::optional<ValueKind> result;  // none for a procedure
};

// "name", "name as type", "name(p as type, q() as type)" or "name(...) as type".
// integer, double and boolean (any letter case) are passed and read as such;
// every other type, and every array, is a pointer-sized reference. Null for text
// the host could not read.
std::optional<DeclarationShape> ReadDeclaration(const std::string& declaration);

}  // namespace simhost
