#include "cli/DeviceSession.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "Platform/LastError.h"
#include "Platform/SerialPortList.h"
#include "Platform/SystemError.h"
#include "Platform/Terminal.h"
#include "base/OrderNumber.h"
#include "app/Configuration.h"
#include "cli/CliError.h"
#include "cli/ConnectionChoice.h"
#include "cli/PortProbeReport.h"
#include "cli/SimulatorHost.h"

namespace lanterna::cli {

namespace {

std::unique_ptr<CSimulatorHost> StartSimulator(const ConnectionChoice& choice) {
  if (!choice.IsSimulator()) return nullptr;
  auto host = std::make_unique<CSimulatorHost>(SimulatorProfile(choice.profile));
  const bool started = host->Start() && (!choice.IsNetwork() || host->StartTcp());
  if (!host->Report().empty()) std::cerr << "simulator: " << host->Report() << "\n";
  // A device that cannot start stays silent: the actions then fail as they do on a dead line.
  if (!started) std::cerr << "simulator: the simulated device did not start\n";
  return host;
}

// The simulator is a fresh device on a fresh line: the stored settings of a real port do not
// apply to it.
std::unique_ptr<IDeviceLink> MakeLink(const ConnectionChoice& choice, const CSimulatorHost* simulator) {
  switch (choice.kind) {
    case ConnectionChoice::Kind::Stored: return MakeSerialLink(std::nullopt);
    case ConnectionChoice::Kind::Serial: return MakeSerialLink(choice.device);
    case ConnectionChoice::Kind::Simulator: return MakeSerialLink(simulator->SlavePath(), false);
    case ConnectionChoice::Kind::Network: return MakeNetworkLink(choice.device, choice.port);
    case ConnectionChoice::Kind::NetworkSimulator:
      return MakeNetworkLink("127.0.0.1", simulator->TcpPort(), false);
  }
  return nullptr;
}

// The service a failed step of an action called, as the catalogue names functions.
std::string ServiceOfStep(Action step) {
  switch (step) {
    case kSoftwareReset: return "RestartSystem";
    case kExtractFiles: return "ExtractFiles";
    case kFormatFlash: return "FormatFlashDisk";
    case kSaveParameters: return "SaveParameter";
    case kFactoryDefaults: return "SetFactoryDefaults";
    case kEnableWriting: return "EnableParamWriting";
    default: return {};
  }
}

// The sections whose keys give the pages their ranges.
constexpr const char* kPageRangeSections[] = {"TCPIP", "MODBUS", "PROTOCOL", "TRAFFIC", "SNTP", "ETHERNETIP", "NETWORK"};

}  // namespace

CIniFile LoadIniFile(const CliOptions& options) {
  const std::string path = options.ini ? *options.ini : ProgramIniPath();
  std::error_code error;
  const bool exists = std::filesystem::exists(path, error);
  if (options.ini && !exists) throw CBadInput("there is no INI file " + path);
  CIniFile ini;
  if (!exists) {
    std::cerr << "lanterna-cli: warning: there is no INI file " << path
              << "; no device is admitted and the pages take their built-in ranges\n";
    return ini;
  }
  if (std::filesystem::is_regular_file(path, error) && std::filesystem::file_size(path, error) > CIniFile::kMaxFileSize)
    throw CBadInput("the INI file " + path + " is larger than the limit of " +
                    std::to_string(CIniFile::kMaxFileSize / 1024) + " KiB");
  if (!ini.Load(path)) throw CBadInput("the INI file " + path + " cannot be read: " + fennec::platform::WhyUnreadable(path));
  if (ini.SectionCount() == 0)
    std::cerr << "lanterna-cli: warning: the INI file " << path
              << " holds no sections; no device is admitted and the pages take their built-in ranges\n";
  else if (std::none_of(std::begin(kPageRangeSections), std::end(kPageRangeSections),
                        [&](const char* section) { return ini.HasSection(section); }))
    std::cerr << "lanterna-cli: warning: the INI file " << path
              << " has no page ranges ([TCPIP], [MODBUS], [PROTOCOL], ...); the pages take their built-in ranges\n";
  return ini;
}

namespace {

void WarnOfMissingDeviceSection(const CIniFile& ini, const std::string& path, const std::string& orderNumber) {
  if (orderNumber.empty()) return;
  const std::string section = COrderNumber(orderNumber).Text(COrderNumber::Form::FourDigit);
  if (!ini.HasSection(section))
    std::cerr << "lanterna-cli: warning: the INI file " << path << " has no section [" << section
              << "] for the connected device\n";
}

}  // namespace

namespace {

// --connection auto: the one port where a probe finds a device.
std::optional<std::string> ResolvedConnection(const std::optional<std::string>& connection) {
  if (!connection || *connection != "auto") return connection;
  std::vector<std::string> ports;
  for (const auto& port : fennec::platform::ListSerialPorts()) ports.push_back(port.name);
  return "RS232:" + OnlyPortWithADevice(ProbePorts(ports));
}

}  // namespace

CDeviceSession::CDeviceSession(const CliOptions& options)
    : CDeviceSession(options, ParseConnection(ResolvedConnection(options.connection)), LoadIniFile(options)) {}

CDeviceSession::CDeviceSession(const CliOptions& options, const ConnectionChoice& choice, CIniFile ini)
    : m_simulator(StartSimulator(choice)),
      m_program(std::make_unique<CProgramSession>(std::move(ini), MakeLink(choice, m_simulator.get()),
                                                  choice.kind != ConnectionChoice::Kind::Stored, options.debug)),
      m_progress(std::cerr, fennec::platform::StandardErrorIsTerminal()),
      m_frontEnd(m_program->Data(), m_progress),
      m_strPort(DescribePort(choice, StoredSerialDevice(), m_program->ConnectionAddress())) {
  m_strIniPath = options.ini ? *options.ini : ProgramIniPath();
  if (options.debug) std::cerr << "lanterna-cli: the port is " << m_strPort << "\n";
}

CDeviceSession::~CDeviceSession() {
  m_program.reset();
  m_simulator.reset();
}

bool CDeviceSession::Run(SessionAction action) {
  std::cerr << WaitingText(action) << "\n";
  const bool succeeded = m_program->Run(action, m_frontEnd);
  m_progress.Idle();
  if (action == SessionAction::Read)
    WarnOfMissingDeviceSection(m_program->Ini(), m_strIniPath, Data().Identification().orderNumber);
  if (succeeded)
    for (const std::string& page : m_program->PagesLeftOut())
      std::cerr << "The device's table 100 is too short for the page " << page << "; its values are left out.\n";
  return succeeded;
}

CliFailure CDeviceSession::ActionFailure() const {
  CatalogueDetails details;
  details.portName = m_program->ConnectionAddress();
  if (const auto step = m_program->LastFailedStep()) details.serviceName = ServiceOfStep(*step);
  return {m_program->LastFailureText(), m_program->LastFailureCode(), m_program->ConnectionAdvice(), m_strPort,
          details};
}

CliFailure CDeviceSession::DirectFailure(const std::string& failureText, CatalogueDetails details) const {
  details.portName = m_program->ConnectionAddress();
  return {failureText, fennec::platform::GetThreadLastError(), m_program->ConnectionAdvice(), m_strPort, details};
}

}  // namespace lanterna::cli
