// plughost: a command-line host for REALbasic plug-in libraries, built on the
// simulated host. The table of commands, and the one place that turns a failure
// into its message and exit status.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "command_line.h"
#include "commands.h"
#include "errors.h"

namespace plughost {
namespace {

const std::vector<CommandEntry>& Commands() {
  static const std::vector<CommandEntry> commands = {
      {"inspect",
       {"PLUGIN"},
       {{"--host-version", "V", "the version the host reports to the plug-in (default 2010.029)"},
        {"--json", nullptr, "print the report as one JSON document"}},
       "Load a plug-in library, call its REALPluginMain and show what it registered.",
       "Shows each class (superclass, instance data size, flags), its properties, methods,\n"
       "shared members, events and constants; each class extension; each module; then what\n"
       "the plug-in asked of the host: the interface version it announced and the entry\n"
       "points it looked up. Works on any plug-in library of this interface.\n",
       &RunInspect},
      {"blur",
       {"PLUGIN", "INPUT", "OUTPUT"},
       {{"--radius", "R", "the Radius passed to BlurKWZ (a number; below 1 returns the picture itself)", true},
        {"--form", "bitmap|rowtable", "how the host describes its pictures (default bitmap)"},
        {"--side-by-side", nullptr, "write the input and the result next to each other"}},
       "Blur an image with the plug-in's Picture.BlurKWZ and write the result as PNG.",
       "Reads INPUT (PNG, JPEG, BMP or PPM; alpha is dropped, as host pictures have none),\n"
       "makes a 32-bit host picture of it, calls BlurKWZ as the host would, and writes\n"
       "OUTPUT as PNG. OUTPUT is written under a temporary name and renamed only on\n"
       "success: a failure leaves any existing OUTPUT as it was.\n",
       &RunBlur},
      {"sample",
       {"OUTPUT"},
       {{"--width", "W", "width in pixels (default 256)"}, {"--height", "H", "height in pixels (default 160)"}},
       "Write the tool's colourful sample picture as PNG, an input for blur.",
       "",
       &RunSample},
  };
  return commands;
}

int Run(const std::vector<std::string>& args) {
  const ParsedCommand command = ParseCommandLine(args, Commands());
  if (command.help) {
    std::cout << (command.entry != nullptr ? CommandHelp(*command.entry) : ProgramHelp(Commands()));
    return kExitSuccess;
  }
  return command.entry->run(command);
}

}  // namespace
}  // namespace plughost

int main(int argc, char** argv) {
#if defined(_WIN32)
  // The same bytes as on Linux: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  try {
    return plughost::Run(args);
  } catch (const plughost::ToolError& error) {
    std::cout.flush();
    std::cerr << "plughost: " << error.what() << "\n";
    return error.status();
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "plughost: " << error.what() << "\n";
    return plughost::kExitFailure;
  }
}
