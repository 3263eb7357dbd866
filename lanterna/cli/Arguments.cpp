#include "cli/Arguments.h"

#include <charconv>

#include "cli/CliError.h"

namespace lanterna::cli {

namespace {

// An option with a value takes it from "--name=value" or from the next argument.
bool TakeValue(std::string_view argument, std::string_view name, const std::vector<std::string>& arguments,
               std::size_t& index, std::optional<std::string>& target) {
  if (argument == name) {
    if (index + 1 >= arguments.size()) throw CBadInput("option " + std::string(name) + " needs a value");
    target = arguments[++index];
    return true;
  }
  if (argument.starts_with(name) && argument.size() > name.size() && argument[name.size()] == '=') {
    target = std::string(argument.substr(name.size() + 1));
    return true;
  }
  return false;
}

bool TakeFlag(std::string_view argument, std::string_view name, bool& target) {
  if (argument != name) return false;
  target = true;
  return true;
}

// "-5" is an operand (a time zone), "-x" an option.
bool LooksLikeOption(std::string_view argument) {
  return argument.size() > 1 && argument[0] == '-' && !(argument[1] >= '0' && argument[1] <= '9');
}

}  // namespace

CliOptions ParseArguments(const std::vector<std::string>& arguments) {
  CliOptions options;
  bool optionsEnded = false;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string_view argument = arguments[index];
    if (!optionsEnded && LooksLikeOption(argument)) {
      if (argument == "--") {
        optionsEnded = true;
        continue;
      }
      const bool known = TakeValue(argument, "--connection", arguments, index, options.connection) ||
                         TakeValue(argument, "--ini", arguments, index, options.ini) ||
                         TakeValue(argument, "--from", arguments, index, options.from) ||
                         TakeValue(argument, "--protocol", arguments, index, options.protocol) ||
                         TakeValue(argument, "--trace", arguments, index, options.trace) ||
                         TakeValue(argument, "--baud", arguments, index, options.baud) ||
                         TakeValue(argument, "--parity", arguments, index, options.parity) ||
                         TakeValue(argument, "--databits", arguments, index, options.databits) ||
                         TakeValue(argument, "--stopbits", arguments, index, options.stopbits) ||
                         TakeValue(argument, "--timeout", arguments, index, options.timeout) ||
                         TakeFlag(argument, "--json", options.json) || TakeFlag(argument, "--debug", options.debug) ||
                         TakeFlag(argument, "--yes", options.yes) || TakeFlag(argument, "--enable", options.enable) ||
                         TakeFlag(argument, "--probe", options.probe) || TakeFlag(argument, "--help", options.help) ||
                         TakeFlag(argument, "--version", options.version) ||
                         TakeFlag(argument, "-h", options.help);
      if (!known) throw CBadInput("unknown option '" + std::string(argument) + "'");
      continue;
    }
    if (options.command.empty())
      options.command = argument;
    else
      options.operands.emplace_back(argument);
  }
  return options;
}

std::uint32_t ParseNumberOperand(std::string_view text, std::uint32_t max, std::string_view what) {
  int base = 10;
  std::string_view digits = text;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    base = 16;
    digits.remove_prefix(2);
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value > max) {
    throw CBadInput(std::string(what) + " '" + std::string(text) + "' is not a number from 0 to " +
                    std::to_string(max));
  }
  return value;
}

}  // namespace lanterna::cli
