// Just enough of JSON to write a document: quoted strings and numbers.
#pragma once

#include <string>

namespace plughost {

// text as a JSON string literal, quotes included; bytes of 0x80 and above pass
// through unchanged (UTF-8), control characters are escaped.
std::string JsonString(const std::string& text);

}  // namespace plughost
