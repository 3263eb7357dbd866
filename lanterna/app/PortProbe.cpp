#include "app/PortProbe.h"

#include <thread>

#include "Platform/LastError.h"
#include "app/DeviceActions.h"
#include "app/DeviceLink.h"

namespace lanterna {

namespace {

PortProbe Probe(const std::string& port) {
  PortProbe probe;
  probe.port = port;
  const std::unique_ptr<IDeviceLink> link = MakeSerialLink(port);
  ORLA::CConnectionBase& connection = link->Connection();
  const ORLA::CScopedProbeTimeouts probeTimeouts(connection);
  if (!OpenPort(connection)) {
    probe.outcome = PortProbe::Outcome::Refused;
    probe.code = connection.GetLastErrorCode();
    probe.advice = connection.GetSystemErrorAdvice();
    return probe;
  }
  CServiceBase& service = link->Service();
  std::uint16_t word = 0;
  std::string hardware, software;
  if (service.ReadRegister(0, 0, 0, 1, &word) &&
      service.IdentifyDevice(probe.orderNumber, probe.description, hardware, software)) {
    probe.outcome = PortProbe::Outcome::Device;
  } else {
    probe.code = fennec::platform::GetThreadLastError();
  }
  ClosePort(connection);
  return probe;
}

}  // namespace

std::vector<PortProbe> ProbePorts(const std::vector<std::string>& ports) {
  std::vector<PortProbe> probes(ports.size());
  {
    std::vector<std::jthread> threads;  // joined at the end of the block
    for (std::size_t i = 0; i < ports.size(); ++i)
      threads.emplace_back([&probes, &ports, i] { probes[i] = Probe(ports[i]); });
  }
  return probes;
}

}  // namespace lanterna
