// ReadDeclaration.
#include "declarations.h"

#include <cctype>

namespace simhost {
namespace {

std::string Trimmed(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "type" or "type()" after " as ".
std::optional<ValueKind> KindOfType(const std::string& typeText) {
  const std::string type = Lowered(Trimmed(typeText));
  if (type.empty()) return std::nullopt;
  if (type.size() > 2 && type.compare(type.size() - 2, 2, "()") == 0) return ValueKind::Reference;
  if (type == "integer") return ValueKind::Int32;
  if (type == "double") return ValueKind::Double;
  if (type == "boolean") return ValueKind::Bool;
  return ValueKind::Reference;
}

// Splits "left as right" at the first " as " (case-insensitive); null without one.
std::optional<std::pair<std::string, std::string>> SplitAs(const std::string& text) {
  const size_t at = Lowered(text).find(" as ");
  if (at == std::string::npos) return std::nullopt;
  return std::make_pair(Trimmed(text.substr(0, at)), text.substr(at + 4));
}

// "p as type" or "p() as type".
std::optional<ValueKind> ReadParameter(const std::string& parameter) {
  auto parts = SplitAs(parameter);
  if (!parts || parts->first.empty()) return std::nullopt;
  const std::string& name = parts->first;
  if (name.size() > 2 && name.compare(name.size() - 2, 2, "()") == 0) return ValueKind::Reference;
  return KindOfType(parts->second);
}

// The bracket that closes the one at open, or npos.
size_t MatchingClose(const std::string& text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return i;
  }
  return std::string::npos;
}

}  // namespace

std::optional<DeclarationShape> ReadDeclaration(const std::string& declaration) {
  DeclarationShape shape;
  std::string rest;
  const size_t open = declaration.find('(');
  const size_t as = Lowered(declaration).find(" as ");
  if (open != std::string::npos && (as == std::string::npos || open < as)) {
    const size_t close = MatchingClose(declaration, open);
    if (close == std::string::npos) return std::nullopt;
    shape.name = Trimmed(declaration.substr(0, open));
    const std::string parameters = declaration.substr(open + 1, close - open - 1);
    if (!Trimmed(parameters).empty()) {
      // Array brackets "p()" hold no commas: every comma separates parameters.
      size_t start = 0;
      while (start <= parameters.size()) {
        size_t comma = parameters.find(',', start);
        if (comma == std::string::npos) comma = parameters.size();
        auto kind = ReadParameter(parameters.substr(start, comma - start));
        if (!kind) return std::nullopt;
        shape.parameters.push_back(*kind);
        start = comma + 1;
      }
    }
    rest = declaration.substr(close + 1);
  } else {
    const size_t end = as == std::string::npos ? declaration.size() : as;
    shape.name = Trimmed(declaration.substr(0, end));
    rest = declaration.substr(end);
  }
  if (shape.name.empty()) return std::nullopt;
  if (!Trimmed(rest).empty()) {
    auto parts = SplitAs(rest);
    if (!parts || !parts->first.empty()) return std::nullopt;
    shape.result = KindOfType(parts->second);
    if (!shape.result) return std::nullopt;
  }
  return shape;
}

}  // namespace simhost
