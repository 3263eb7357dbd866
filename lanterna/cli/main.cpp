#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/Interruption.h"
#include "cli/JsonOutput.h"
#include "cli/StoreNotice.h"

using namespace lanterna::cli;

namespace {

void RequireOptionsOf(const CommandInfo& command, const CliOptions& options) {
  if (options.yes && !command.takesYes) throw CBadInput(std::string(command.name) + " does not take --yes");
  if (options.from && !command.takesFrom) throw CBadInput(std::string(command.name) + " does not take --from");
  if ((options.enable || options.protocol || options.trace) && !command.takesRegisterOptions)
    throw CBadInput(std::string(command.name) + " does not take --enable, --protocol or --trace");
  if (options.probe && command.run != RunPorts) throw CBadInput(std::string(command.name) + " does not take --probe");
  const bool portSettings = options.baud || options.parity || options.databits || options.stopbits || options.timeout;
  if (portSettings && !command.takesPortSettings)
    throw CBadInput(std::string(command.name) + " does not take --baud, --parity, --databits, --stopbits or --timeout");
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

// --json asks for one object on failure too, even when the arguments themselves are at fault.
bool AsksForJson(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") return false;
    if (argument == "--json") return true;
  }
  return false;
}

int Fail(const std::vector<std::string>& arguments, int exitStatus, const std::string& text) {
  std::cerr << "lanterna-cli: " << text << "\n";
  if (AsksForJson(arguments)) PrintJsonFailure(exitStatus, {text, 0, "", ""});
  return exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  EndOnInterrupt();
  const CDamagedStoreNotice storeNotice;
  try {
    return Run(arguments);
  } catch (const CBadInput& error) {
    return Fail(arguments, kExitBadInput, error.what());
  } catch (const std::exception& error) {
    return Fail(arguments, kExitActionFailed, error.what());
  }
}
