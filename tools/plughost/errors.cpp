// Raising the tool's failures.
#include "errors.h"

namespace plughost {

void Fail(const std::string& message) { throw ToolError(message, kExitFailure); }

void FailUsage(const std::string& message) { throw ToolError(message, kExitUsage); }

}  // namespace plughost
