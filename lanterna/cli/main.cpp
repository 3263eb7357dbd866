#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/Commands.h"

using namespace lanterna::cli;

namespace {

void RequireOptionsOf(const CommandInfo& command, const CliOptions& options) {
  if (options.yes && !command.takesYes) throw CBadInput(std::string(command.name) + " does not take --yes");
  if (options.from && !command.takesFrom) throw CBadInput(std::string(command.name) + " does not take --from");
  if (options.enable && !command.takesEnable) throw CBadInput(std::string(command.name) + " does not take --enable");
}

int Run(const std::vector<std::string>& arguments) {
  const CliOptions options = ParseArguments(arguments);
  if (options.version) {
    std::cout << VersionText();
    return kExitSuccess;
  }
  if (options.command.empty() || options.command == "help") {
    const CommandInfo* topic = options.operands.empty() ? nullptr : FindCommand(options.operands[0]);
    const bool asked = options.help || !options.command.empty();
    (asked ? std::cout : std::cerr) << (topic ? topic->help : ProgramHelp());
    return asked ? kExitSuccess : kExitBadInput;
  }
  const CommandInfo* command = FindCommand(options.command);
  if (!command) throw CBadInput("there is no command '" + options.command + "'; 'lanterna-cli --help' lists them");
  if (options.help) {
    std::cout << command->help;
    return kExitSuccess;
  }
  RequireOptionsOf(*command, options);
  return command->run(options);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const CBadInput& error) {
    std::cerr << "lanterna-cli: " << error.what() << "\n";
    return kExitBadInput;
  } catch (const std::exception& error) {
    std::cerr << "lanterna-cli: " << error.what() << "\n";
    return kExitActionFailed;
  }
}
