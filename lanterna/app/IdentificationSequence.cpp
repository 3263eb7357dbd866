#include "app/IdentificationSequence.h"

#include "Common/ErrorCodes.h"
#include "Platform/LastError.h"
#include "Platform/TextCase.h"
#include "base/AddressRegisters.h"
#include "base/Ipv4Address.h"

namespace lanterna {

namespace {

constexpr const char* kNotSupported = "ERROR: Service not supported!";

bool NotSupported(CServiceBase& service) { return service.GetLastErrorCode() == fennec::kCouplerServiceNotSupported; }

std::string DottedAddress(CServiceBase& service, AddressRegisters registers) {
  std::uint16_t words[2] = {};
  if (!service.ReadRegister(0, kEthernetTable, static_cast<unsigned>(registers.first), 2, words)) return {};
  return AddressToDotted(ReadAddressPair(words, 0));
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Couplers that keep their addresses elsewhere name them among their internal variables.
bool SearchInternalVariables(CServiceBase& service, tIdentification& record) {
  for (std::uint16_t index = 1; index != 0; ++index) {
    std::string name;
    std::string value;
    if (!service.GetInternalVariable(index, name, value))
      return fennec::platform::GetThreadLastError() == fennec::kCouplerEndOfVariableList;
    if (name.empty() || value.empty()) return true;

    const std::string upper = fennec::ToUpper(name);
    if (record.ipAddress.empty() && Contains(upper, "ADDRESS") && Contains(upper, "IP"))
      record.ipAddress = value;
    if (record.subnetMask.empty() && Contains(upper, "SUBNET")) record.subnetMask = value;
    if (record.gateway.empty() && Contains(upper, "GATEWAY")) record.gateway = value;
    if (!record.ipAddress.empty() && !record.subnetMask.empty() && !record.gateway.empty()) return true;
  }
  return false;  // a device that never ends its list
}

bool ReadIpSettings(CServiceBase& service, tIdentification& record) {
  record.ipAddress = DottedAddress(service, kIpAddressRegisters);
  if (!record.ipAddress.empty()) record.subnetMask = DottedAddress(service, kSubnetMaskRegisters);
  if (!record.subnetMask.empty()) record.gateway = DottedAddress(service, kGatewayRegisters);
  if (!record.ipAddress.empty() && !record.subnetMask.empty() && !record.gateway.empty()) return true;
  return SearchInternalVariables(service, record);
}

bool ReadTable(CServiceBase& service, unsigned table, std::vector<std::uint16_t>& image) {
  const unsigned count = TableRegisterCount(service, table);
  if (count == 0) return false;
  std::vector<std::uint16_t> words(count, 0);
  if (!service.ReadRegister(0, table, 0, count, words.data())) return false;
  image = std::move(words);
  return true;
}

bool Fail(tIdentification& record, const char* text) {
  record.description = text;
  return false;
}

}  // namespace

unsigned TableRegisterCount(CServiceBase& service, unsigned table) {
  std::vector<tFBCTable> tables;
  if (!service.GetTableInfo(tables)) return 0;
  for (const tFBCTable& entry : tables)
    if (entry.TableNo() == table) return entry.RegisterCount();
  return 0;
}

bool IdentifyConnectedDevice(CServiceBase& service, tIdentification& record) {
  record = {};
  record.clockFlag = 1;

  if (!service.IdentifyDevice(record.orderNumber, record.description, record.hardwareVersion,
                              record.softwareVersion))
    return Fail(record, "Identification service failed!");
  if (!ReadIpSettings(service, record)) return Fail(record, "Reading IP address failed!");

  if (!service.GetFWLVersion(record.fwlVersion)) {
    if (!NotSupported(service)) return Fail(record, "FWL version service failed!");
    record.fwlVersion = kNotSupported;
  }
  if (!service.GetSerialNumber(record.serialNumber)) {
    if (!NotSupported(service)) return Fail(record, "Serial number service failed!");
    record.serialNumber = kNotSupported;
  }
  if (!service.GetNetworkID(record.networkIdKind, record.networkId)) {
    if (!NotSupported(service)) return Fail(record, "MAC-ID service failed!");
    record.networkIdKind.clear();
    record.networkId = "ERR: Service not supported!";
  }
  std::uint32_t time = 0;
  std::uint16_t zone = 0;
  if (service.GetRealTimeClock(time, zone)) {
    record.clockState = "DONE";
    record.clockFlag = 1;
  } else if (NotSupported(service)) {
    record.clockState = kNotSupported;
    record.clockFlag = 0;
  } else {
    record.clockState = "ERROR";
    record.clockFlag = 0;
    return Fail(record, "RTC service failed!");
  }

  if (!ReadTable(service, 0, record.table0)) return Fail(record, "Reading common parameter settings failed!");
  if (!ReadTable(service, 100, record.table100)) return Fail(record, "Reading specific parameter settings failed!");
  return true;
}

}  // namespace lanterna
