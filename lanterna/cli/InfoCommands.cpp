// ports, error, params, sim-reset: what the program knows beside the device actions.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "Platform/SerialPortList.h"
#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/ConnectionChoice.h"
#include "cli/FailureReport.h"
#include "cli/ParameterList.h"
#include "cli/PortProbeReport.h"
#include "cli/SimulatorHost.h"

namespace lanterna::cli {

namespace {

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

// Whether the connected device has the parameter: only a page the device gets knows its
// generation.
std::string DeviceHasIt(const CCouplerSettingsPageModel& page, const CPageParameter& parameter) {
  if (!page.IsPageUsed() || !page.IsLoaded()) return "no page";
  return parameter.Available() ? "yes" : "no";
}

std::string RegistersOf(const CPageParameter& parameter, bool is32) {
  const std::string& registers = parameter.Registers(is32);
  return registers.empty() ? "-" : registers;
}

}  // namespace

int RunPorts(const CliOptions& options) {
  if (options.probe) return RunPortProbe(options);
  RequireOperands(options, 0, 0, "ports");
  const auto ports = fennec::platform::ListSerialPorts();
  if (options.json) {
    Json list = Json::array();
    for (const auto& port : ports) list.push_back({{"name", port.name}, {"friendly_name", port.friendlyName}});
    PrintJsonSuccess({{"ports", list}});
    return kExitSuccess;
  }
  if (ports.empty()) std::cerr << "This machine has no serial ports.\n";
  for (const auto& port : ports) std::cout << Padded(port.name, 12) << " " << port.friendlyName << "\n";
  return kExitSuccess;
}

int RunPortProbe(const CliOptions& options) {
  std::vector<std::string> ports = options.operands;
  if (ports.empty())
    for (const auto& port : fennec::platform::ListSerialPorts()) ports.push_back(port.name);
  const std::vector<PortProbe> probes = ProbePorts(ports);
  if (options.json) {
    Json list = Json::array();
    for (const PortProbe& probe : probes) list.push_back(ProbeJson(probe));
    PrintJsonSuccess({{"ports", list}});
    return kExitSuccess;
  }
  if (probes.empty()) std::cerr << "This machine has no serial ports.\n";
  for (const PortProbe& probe : probes) std::cout << ProbeLine(probe) << "\n";
  return kExitSuccess;
}

int RunError(const CliOptions& options) {
  RequireOperands(options, 1, 1, "error CODE");
  const std::uint32_t code = ParseNumberOperand(options.operands[0], 0xFFFFFFFF, "the error code");
  if (code == 0) {
    constexpr const char* kNoError = "The code 0 is no error: the library reports it when nothing failed.";
    if (options.json)
      PrintJsonSuccess({{"code", HexCode(0)}, {"title", ""}, {"text", kNoError}, {"detail", ""}});
    else
      std::cout << HexCode(0) << "  " << kNoError << "\n";
    return kExitSuccess;
  }
  const tErrorMessage message = CatalogueMessage(code);
  const std::string hex = HexCode(code);
  if (options.json) {
    PrintJsonSuccess({{"code", hex}, {"title", message.strTitle}, {"text", message.strText}, {"detail", message.strDetail}});
  } else {
    std::cout << hex << "  " << message.strTitle << "\n" << message.strText << "\n\n" << message.strDetail << "\n";
  }
  return kExitSuccess;
}

namespace {

// Every parameter of every page. With a device, whether it has each and its generation's
// registers; without one, the registers of the 32-bit generation.
void PrintParameters(const CSettingsPages& pages, std::optional<bool> deviceIs32, bool json) {
  const bool is32 = deviceIs32.value_or(true);
  Json list = Json::array();
  std::string text = Padded("KEY", 32) + Padded("PAGE", 11) + Padded("TYPE", 11) + Padded("DEVICE", 8) +
                     Padded("REGISTERS", 18) + Padded("DEFAULT", 9) + "RANGE\n";
  for (const CCouplerSettingsPageModel* page : pages.Pages()) {
    for (const auto& owned : page->Parameters()) {
      const CPageParameter& parameter = *owned;
      const std::string has = deviceIs32 ? DeviceHasIt(*page, parameter) : "-";
      list.push_back({{"key", parameter.Key()},
                      {"page", page->GetSection()},
                      {"title", parameter.Title()},
                      {"type", KindName(parameter)},
                      {"range", RangeText(parameter)},
                      {"default", DefaultText(parameter)},
                      {"registers", parameter.Registers(is32)},
                      {"device_has_it", deviceIs32 ? Json(has == "yes") : Json()}});
      text += Padded(parameter.Key(), 32) + Padded(page->GetSection(), 11) + Padded(KindName(parameter), 11) +
              Padded(has, 8) + Padded(RegistersOf(parameter, is32), 18) + Padded(DefaultText(parameter), 9) +
              RangeText(parameter) + "\n";
    }
  }
  if (json)
    PrintJsonSuccess({{"parameters", list}});
  else
    std::cout << text;
}

}  // namespace

int RunParams(const CliOptions& options) {
  RequireOperands(options, 0, 0, "params");
  if (!options.connection) {
    const CIniFile ini = LoadIniFile(options);
    PrintParameters(CSettingsPages(ini), std::nullopt, options.json);
    return kExitSuccess;
  }
  CDeviceSession session(options);
  if (auto failed = ReadFirst(session, options)) return *failed;
  PrintParameters(session.Pages(), session.Data().Is32() != 0, options.json);
  return kExitSuccess;
}

int RunSimReset(const CliOptions& options) {
  RequireOperands(options, 0, 1, "sim-reset [PROFILE]");
  const std::string name = options.operands.empty() ? kDefaultSimulatorProfile : options.operands[0];
  std::string report;
  if (!ResetSimulator(SimulatorProfile(name), report)) return Failed(options, {report, 0, "", ""});
  if (options.json)
    PrintJsonSuccess({{"profile", name}, {"report", report}});
  else
    std::cout << report << "\n";
  return kExitSuccess;
}

}  // namespace lanterna::cli
