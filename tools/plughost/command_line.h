// The command line: a table of commands, each with its positional arguments and
// options, parsed into what one command needs, and the help texts made from the
// same table.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plughost {

struct OptionEntry {
  const char* name;       // "--radius"
  const char* valueName;  // "R", or null for a flag that takes no value
  const char* help;
  bool required = false;  // the command cannot run without it
};

struct ParsedCommand;

struct CommandEntry {
  const char* name;                            // "blur"
  std::vector<const char*> positionals;        // "PLUGIN", "INPUT", "OUTPUT"
  std::vector<OptionEntry> options;
  const char* summary;                         // one line for the program's help
  const char* details;                         // the rest of the command's --help
  int (*run)(const ParsedCommand& command);    // the exit status
};

struct ParsedCommand {
  const CommandEntry* entry = nullptr;
  bool help = false;                               // --help was given: nothing else is checked
  std::vector<std::string> positionals;            // in the order of entry->positionals
  std::map<std::string, std::string> values;       // options with values, by name
  std::vector<std::string> flags;                  // options without values that were given

  bool HasFlag(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;
};

// args excludes the program name. An empty line, "help", "--help" or "-h" give a
// ParsedCommand without entry (the program's help). Throws a usage ToolError for an
// unknown command or option, a missing option value, or a wrong number of
// positional arguments.
ParsedCommand ParseCommandLine(const std::vector<std::string>& args, const std::vector<CommandEntry>& commands);

std::string ProgramHelp(const std::vector<CommandEntry>& commands);
std::string CommandHelp(const CommandEntry& command);

// A decimal number (such as "5", "2.5", "-1", "2010.029"); anything else, and the
// non-finite words strtod would accept ("nan", "inf"), is a usage error that
// names the option.
double ParseNumber(const std::string& text, const std::string& optionName);

}  // namespace plughost
