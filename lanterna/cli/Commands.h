#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/Arguments.h"

namespace lanterna::cli {

// One command of the program with its help. run returns the exit status; it throws CBadInput
// for bad usage or input.
struct CommandInfo {
  const char* name;
  const char* summary;
  const char* help;
  int (*run)(const CliOptions&);
  bool takesYes = false;
  bool takesFrom = false;
  bool takesRegisterOptions = false;  // --enable, --protocol, --trace
  bool takesPortSettings = false;
};

std::span<const CommandInfo> AllCommands();
const CommandInfo* FindCommand(std::string_view name);

std::string ProgramHelp();
// "lanterna-cli <version> (<build date>)" and the same of libfennec, a line each.
std::string VersionText();

// The commands, by group.
int RunRead(const CliOptions& options);
int RunWrite(const CliOptions& options);
int RunParams(const CliOptions& options);
int RunRestart(const CliOptions& options);
int RunDefault(const CliOptions& options);
int RunExtract(const CliOptions& options);
int RunFormat(const CliOptions& options);
int RunUpload(const CliOptions& options);
int RunClock(const CliOptions& options);
int RunRegs(const CliOptions& options);
int RunProto(const CliOptions& options);
int RunPorts(const CliOptions& options);
int RunPortProbe(const CliOptions& options);
int RunPort(const CliOptions& options);
int RunError(const CliOptions& options);
int RunSimReset(const CliOptions& options);
int RunCompletion(const CliOptions& options);

}  // namespace lanterna::cli
