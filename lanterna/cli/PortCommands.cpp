// port: the serial port the program uses without --connection, as the port dialog stores it.
#include <algorithm>
#include <array>
#include <iostream>
#include <string_view>

#include "Platform/TextCase.h"
#include "app/DeviceLink.h"
#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/ConnectionChoice.h"
#include "cli/JsonOutput.h"
#include "cli/PortSettingValues.h"

namespace lanterna::cli {

namespace {

template <std::size_t N>
void TakeListValue(const std::optional<std::string>& given, const std::array<std::string_view, N>& values,
                   const char* option, std::string& target) {
  if (!given) return;
  const auto found = std::find_if(values.begin(), values.end(),
                                  [&](std::string_view value) { return fennec::EqualNoCase(value, *given); });
  if (found == values.end()) {
    std::string accepted;
    for (const std::string_view value : values) accepted += (accepted.empty() ? "" : ", ") + std::string(value);
    throw CBadInput(std::string(option) + " takes " + accepted + ", not '" + *given + "'");
  }
  target = *found;
}

SerialPortSettings RequestedSettings(const CliOptions& options) {
  if (options.operands.size() != 2) throw CBadInput("usage: lanterna-cli port set RS232:<device> [--baud N ...]");
  const ConnectionChoice choice = ParseConnection(options.operands[1]);
  if (choice.kind != ConnectionChoice::Kind::Serial)
    throw CBadInput("port set stores a serial port: RS232:<device>, not '" + options.operands[1] + "'");
  SerialPortSettings settings = StoredSerialSettings();
  settings.device = choice.device;
  TakeListValue(options.baud, kBaudRates, "--baud", settings.baudrate);
  TakeListValue(options.parity, kParities, "--parity", settings.parity);
  TakeListValue(options.databits, kDataBits, "--databits", settings.databits);
  TakeListValue(options.stopbits, kStopBits, "--stopbits", settings.stopbits);
  if (options.timeout) settings.timeout = std::to_string(ParseNumberOperand(*options.timeout, 0xFFFFFFFF, "--timeout"));
  return settings;
}

void PrintSettings(const SerialPortSettings& settings, bool stored, bool json) {
  if (json) {
    PrintJsonSuccess({{"stored", stored},
                      {"device", settings.device},
                      {"baudrate", settings.baudrate},
                      {"parity", settings.parity},
                      {"databits", settings.databits},
                      {"stopbits", settings.stopbits},
                      {"timeout", settings.timeout}});
    return;
  }
  std::cout << (stored ? "The stored serial port:\n" : "No port is stored; the defaults:\n")
            << "  device    " << settings.device << "\n  baudrate  " << settings.baudrate << "\n  parity    "
            << settings.parity << "\n  databits  " << settings.databits << "\n  stopbits  " << settings.stopbits
            << "\n  timeout   " << settings.timeout << " ms\n";
}

}  // namespace

int RunPort(const CliOptions& options) {
  const std::string verb = options.operands.empty() ? "" : options.operands[0];
  const bool setting = verb == "set";
  if (!setting && (options.baud || options.parity || options.databits || options.stopbits || options.timeout))
    throw CBadInput("only port set takes the serial settings");
  if (verb.empty()) {
    RequireOperands(options, 0, 0, "port");
    PrintSettings(StoredSerialSettings(), StoredSerialDevice().has_value(), options.json);
    return kExitSuccess;
  }
  if (verb == "reset") {
    RequireOperands(options, 1, 1, "port reset");
    if (!ForgetSerialSettings()) return Failed(options, {"The stored port could not be removed.", 0, "", ""});
    PrintSettings(StoredSerialSettings(), false, options.json);
    return kExitSuccess;
  }
  if (!setting) throw CBadInput("usage: lanterna-cli port [set RS232:<device> [--baud N ...] | reset]");
  const SerialPortSettings settings = RequestedSettings(options);
  if (!StoreSerialSettings(settings)) return Failed(options, {"The port settings could not be stored.", 0, "", ""});
  PrintSettings(StoredSerialSettings(), true, options.json);
  return kExitSuccess;
}

}  // namespace lanterna::cli
