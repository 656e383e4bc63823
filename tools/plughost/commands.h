// The tool's commands, each run from a parsed command line; the result is the
// exit status. They print their reports to standard output and fail by throwing
// ToolError (see errors.h).
#pragma once

#include "command_line.h"

namespace plughost {

int RunInspect(const ParsedCommand& command);
int RunBlur(const ParsedCommand& command);
int RunSample(const ParsedCommand& command);

}  // namespace plughost
