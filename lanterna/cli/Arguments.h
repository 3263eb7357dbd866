#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanterna::cli {

// The command line: the program's options, the command and its operands. Options may stand
// before or after the command; "--" ends them.
struct CliOptions {
  std::optional<std::string> connection;  // --connection RS232:<device> | SIM[:profile]
  std::optional<std::string> ini;         // --ini PATH
  std::optional<std::string> from;        // --from FILE (write)
  std::optional<std::string> protocol;  // regs: legacy | ext | auto
  std::optional<std::string> trace;     // regs: the extended protocol's trace mode
  // port set: the serial settings besides the device
  std::optional<std::string> baud, parity, databits, stopbits, timeout;
  bool json = false;
  bool debug = false;
  bool probe = false;   // ports: probe each port for a device
  bool enable = false;  // regs write: enable the parameter writing first
  bool yes = false;  // restart, default, extract, format: no question asked
  bool help = false;
  bool version = false;
  std::string command;
  std::vector<std::string> operands;
};

// Throws CBadInput for an unknown option or an option without its value.
CliOptions ParseArguments(const std::vector<std::string>& arguments);

// A whole operand as an unsigned number, decimal or "0x" hexadecimal, no larger than max.
// Throws CBadInput naming what the operand is.
std::uint32_t ParseNumberOperand(std::string_view text, std::uint32_t max, std::string_view what);

}  // namespace lanterna::cli
