// The tool's failures. Each carries one message that names the problem and the
// path concerned, and the exit status the program ends with; main() prints the
// message and exits. Nothing is thrown across the plug-in boundary: only the
// tool's own code throws, and the plug-in's functions are plain calls in between.
#pragma once

#include <stdexcept>
#include <string>

namespace plughost {

enum ExitStatus : int {
  kExitSuccess = 0,
  kExitFailure = 1,  // the command could not do its job (files, images, plug-ins)
  kExitUsage = 2,    // the command line itself is wrong
};

class ToolError : public std::runtime_error {
 public:
  ToolError(const std::string& message, int status) : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// The command could not do its job.
[[noreturn]] void Fail(const std::string& message);
// The command line is wrong; the message should say what to type instead.
[[noreturn]] void FailUsage(const std::string& message);

}  // namespace plughost
