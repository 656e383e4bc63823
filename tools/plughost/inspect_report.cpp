// The wording both renderings of inspect share.
#include "inspect_report.h"

#include <charconv>
#include <sstream>

namespace plughost {

const char* AccessorKind(PropertyAccessor accessor) {
  if (accessor == kHostAccessor) return "host";
  return accessor != 0 ? "function" : "none";
}

bool HostStored(const simhost::CapturedProperty& property) {
  return property.getter == kHostAccessor && property.setter == kHostAccessor;
}

std::string Hex(uint32_t word) {
  std::ostringstream out;
  out << "0x" << std::hex << std::uppercase << word;
  return out.str();
}

std::string Number(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace plughost
