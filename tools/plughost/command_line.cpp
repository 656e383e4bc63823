// Parsing the command line against the table of commands, and the help texts.
#include "command_line.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "errors.h"

namespace plughost {
namespace {

const OptionEntry* FindOption(const CommandEntry& command, const std::string& name) {
  for (const OptionEntry& option : command.options) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

std::string SeeHelp(const CommandEntry& command) {
  return " (see plughost " + std::string(command.name) + " --help)";
}

std::string Synopsis(const CommandEntry& command) {
  std::string line = std::string("plughost ") + command.name;
  for (const char* positional : command.positionals) line += std::string(" ") + positional;
  for (const OptionEntry& option : command.options) {
    line += std::string(option.required ? " " : " [") + option.name;
    if (option.valueName != nullptr) line += std::string(" ") + option.valueName;
    if (!option.required) line += "]";
  }
  return line;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// [+-] digits [. digits] [e [+-] digits], with at least one digit before the exponent.
bool IsDecimalNumber(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == n;
}

}  // namespace

bool ParsedCommand::HasFlag(const std::string& name) const {
  for (const std::string& flag : flags) {
    if (flag == name) return true;
  }
  return false;
}

std::optional<std::string> ParsedCommand::Value(const std::string& name) const {
  auto found = values.find(name);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

ParsedCommand ParseCommandLine(const std::vector<std::string>& args, const std::vector<CommandEntry>& commands) {
  ParsedCommand parsed;
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    if (args.size() >= 2 && args[0] == "help") {
      // "plughost help blur" is "plughost blur --help".
      return ParseCommandLine({args[1], "--help"}, commands);
    }
    parsed.help = true;
    return parsed;
  }
  for (const CommandEntry& command : commands) {
    if (args[0] == command.name) parsed.entry = &command;
  }
  if (parsed.entry == nullptr) FailUsage("unknown command " + args[0] + " (see plughost --help)");
  const CommandEntry& command = *parsed.entry;

  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      parsed.help = true;
      return parsed;
    }
  }
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      parsed.positionals.push_back(arg);
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    const size_t equals = arg.find('=');
    if (equals != std::string::npos) {  // --radius=5
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    const OptionEntry* option = FindOption(command, name);
    if (option == nullptr) FailUsage("unknown option " + name + SeeHelp(command));
    if (option->valueName == nullptr) {
      if (value) FailUsage(name + " takes no value" + SeeHelp(command));
      parsed.flags.push_back(name);
      continue;
    }
    if (!value) {
      if (i + 1 >= args.size()) FailUsage(name + " needs a value " + option->valueName + SeeHelp(command));
      value = args[++i];
    }
    parsed.values[name] = *value;
  }
  if (parsed.positionals.size() != command.positionals.size()) {
    std::string wanted;
    for (const char* positional : command.positionals) wanted += std::string(" ") + positional;
    FailUsage(std::string(command.name) + " takes" + wanted + ", given " + std::to_string(parsed.positionals.size()) +
              " argument" + (parsed.positionals.size() == 1 ? "" : "s") + SeeHelp(command));
  }
  for (const OptionEntry& option : command.options) {
    if (option.required && parsed.values.count(option.name) == 0) {
      FailUsage(std::string(command.name) + " needs " + option.name + " " + option.valueName + SeeHelp(command));
    }
  }
  return parsed;
}

std::string ProgramHelp(const std::vector<CommandEntry>& commands) {
  std::string text =
      "plughost: a command-line host for REALbasic plug-in libraries, built on the simulated host.\n"
      "\n"
      "Commands:\n";
  for (const CommandEntry& command : commands) {
    text += "  " + Synopsis(command) + "\n      " + command.summary + "\n";
  }
  text +=
      "\n"
      "plughost COMMAND --help describes one command. Exit status: 0 on success, 1 when the\n"
      "command could not do its job, 2 for a wrong command line.\n";
  return text;
}

std::string CommandHelp(const CommandEntry& command) {
  std::string text = "usage: " + Synopsis(command) + "\n\n" + command.summary + "\n";
  if (command.details != nullptr && command.details[0] != '\0') text += "\n" + std::string(command.details);
  if (!command.options.empty()) {
    text += "\nOptions:\n";
    for (const OptionEntry& option : command.options) {
      std::string left = std::string("  ") + option.name;
      if (option.valueName != nullptr) left += std::string(" ") + option.valueName;
      if (left.size() < 24) left.resize(24, ' ');
      else left += "  ";
      text += left + option.help + "\n";
    }
  }
  return text;
}

double ParseNumber(const std::string& text, const std::string& optionName) {
  if (!IsDecimalNumber(text)) FailUsage(optionName + ": '" + text + "' is not a number");
  const double value = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(value)) FailUsage(optionName + ": '" + text + "' is out of range");
  return value;
}

}  // namespace plughost
