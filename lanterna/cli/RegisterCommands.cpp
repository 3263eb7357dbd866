// regs: raw register access through the service object.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "SIORegComm.h"
#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"

namespace lanterna::cli {

namespace {

constexpr const char* kUsage = "regs read TABLE FIRST COUNT | regs write TABLE FIRST WORD...";
constexpr std::uint32_t kLastTable = CSIORegComm::MAXCOUNT_TABLES - 1;
constexpr std::uint32_t kRegisters = CSIORegComm::MAXCOUNT_REGISTER;

// The run of registers a command names, checked against what one telegram can address.
struct RegisterRun {
  unsigned table = 0;
  unsigned first = 0;
  std::vector<std::uint16_t> words;
};

RegisterRun ParseRun(const CliOptions& options) {
  const auto& operands = options.operands;
  if (operands.size() < 4 || (operands[0] != "read" && operands[0] != "write") ||
      (operands[0] == "read" && operands.size() != 4))
    throw CBadInput(std::string("usage: lanterna-cli ") + kUsage);
  RegisterRun run;
  run.table = ParseNumberOperand(operands[1], kLastTable, "the table");
  run.first = ParseNumberOperand(operands[2], kRegisters - 1, "the first register");
  const std::uint32_t room = kRegisters - run.first;
  if (operands[0] == "read") {
    const std::uint32_t count = ParseNumberOperand(operands[3], room, "the count");
    if (count == 0) throw CBadInput("the count is at least 1");
    run.words.resize(count);
    return run;
  }
  if (operands.size() - 3 > room)
    throw CBadInput("register " + std::to_string(run.first) + " has room for " + std::to_string(room) + " words");
  for (std::size_t i = 3; i < operands.size(); ++i)
    run.words.push_back(static_cast<std::uint16_t>(ParseNumberOperand(operands[i], 0xFFFF, "the word")));
  return run;
}

void PrintWords(const RegisterRun& run, bool json) {
  if (json) {
    const nlohmann::ordered_json object{{"table", run.table}, {"first", run.first}, {"words", run.words}};
    std::cout << object.dump(2) << "\n";
    return;
  }
  for (std::size_t i = 0; i < run.words.size(); ++i) {
    char line[48];
    std::snprintf(line, sizeof line, "%u:%-4zu 0x%04X %5u\n", run.table, run.first + i, run.words[i], run.words[i]);
    std::cout << line;
  }
}

}  // namespace

int RunRegs(const CliOptions& options) {
  RegisterRun run = ParseRun(options);
  const bool reading = options.operands[0] == "read";
  CDeviceSession session(options);
  CProgramSession& program = session.Program();
  if (!program.OpenPort()) {
    std::cerr << session.DirectFailureReport("Opening the port failed!");
    return kExitActionFailed;
  }
  const auto count = static_cast<unsigned>(run.words.size());
  const bool done = reading ? program.ReadRegisters(run.table, run.first, run.words)
                            : program.WriteRegisters(run.table, run.first, run.words);
  if (!done) {
    std::cerr << session.DirectFailureReport(reading ? "Reading the registers failed!" : "Writing the registers failed!");
    return kExitActionFailed;
  }
  if (reading)
    PrintWords(run, options.json);
  else
    std::cerr << "Wrote " << count << " register" << (count == 1 ? "" : "s") << " of table " << run.table
              << " from register " << run.first << ".\n";
  return kExitSuccess;
}

}  // namespace lanterna::cli
