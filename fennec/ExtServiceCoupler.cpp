// The coupler services (group 1) of CExtService.
#include <array>

#include "Common/ByteOrder.h"
#include "Common/ErrorCodes.h"
#include "ExtService.h"
#include "ServiceDecoders.h"

namespace {

constexpr std::uint16_t kWriteEnableKey = 0x6E1B;
constexpr std::size_t kTableListBytes = 82;

constexpr std::uint16_t Word(bool value) { return value ? 1 : 0; }

bool ClearedAfterFailure(std::initializer_list<std::string*> strings) {
  for (std::string* text : strings) text->clear();
  return false;
}

}  // namespace

bool CExtService::EnableParamWriting(bool bEnable) {
  return CallService(SERVICE_GRP_FBC, 1, {bEnable ? kWriteEnableKey : std::uint16_t{0}}, {});
}

// The device answers once it goes down: there is no response to poll for.
bool CExtService::RestartSystem() { return EnableParamWriting(true) && CallService(SERVICE_GRP_FBC, 2, {}, {}); }

bool CExtService::GetParameterChecksum(std::uint16_t& wChecksum) {
  std::array<std::uint16_t, 1> words{};
  if (!CallForWords(SERVICE_GRP_FBC, 3, {}, words)) return false;
  wChecksum = words[0];
  return true;
}

bool CExtService::SetFactoryDefaults() { return CallService(SERVICE_GRP_FBC, 4, {}, {}); }

bool CExtService::SaveParameter() { return CallService(SERVICE_GRP_FBC, 5, {}, {}); }

bool CExtService::GetFBCStates(std::vector<std::uint16_t>& states) {
  states.clear();
  return CallForStates(6, states);
}

bool CExtService::GetAddressSwitchSetting(std::uint16_t& wSetting) {
  std::array<std::uint16_t, 1> words{};
  if (!CallForWords(SERVICE_GRP_FBC, 7, {}, words)) return false;
  wSetting = words[0];
  return true;
}

bool CExtService::IdentifyDevice(std::string& orderNumber, std::string& description, std::string& hardwareVersion,
                                 std::string& softwareVersion) {
  return CallForStrings(8, {}, ShortAnswer::Accepted, {&orderNumber, &description, &hardwareVersion, &softwareVersion}) ||
         ClearedAfterFailure({&orderNumber, &description, &hardwareVersion, &softwareVersion});
}

bool CExtService::GetFieldbusBaudrate(double& dBaudrate) {
  std::array<std::uint16_t, 2> words{};
  if (!CallForWords(SERVICE_GRP_FBC, 9, {}, words)) return false;
  dBaudrate = fennec::service::DecodeBaudrate(words[0], words[1]);
  return true;
}

bool CExtService::EnableBKMonitorMode(bool bEnable) { return CallService(SERVICE_GRP_FBC, 10, {Word(bEnable)}, {}); }

bool CExtService::EnableBKControlMode(bool bEnable) { return CallService(SERVICE_GRP_FBC, 11, {Word(bEnable)}, {}); }

bool CExtService::GetNetworkID(std::string& kind, std::string& value) {
  return CallForStrings(12, {}, ShortAnswer::Fails, {&kind, &value});
}

bool CExtService::GetSerialNumber(std::string& serialNumber) {
  return CallForStrings(13, {}, ShortAnswer::Accepted, {&serialNumber}) || ClearedAfterFailure({&serialNumber});
}

bool CExtService::SetFactoryTestMode(const std::uint16_t& wMode) { return CallService(SERVICE_GRP_FBC, 14, {wMode}, {}); }

bool CExtService::GetTerminalBusState(std::vector<std::uint16_t>& states) {
  if (CallForStates(15, states)) return true;
  states.clear();
  return false;
}

bool CExtService::GetProductionMarking(std::string& first, std::string& production) {
  return CallForStrings(16, {}, ShortAnswer::Fails, {&first, &production}) ||
         ClearedAfterFailure({&first, &production});
}

bool CExtService::GetInternalVariable(std::uint16_t wIndex, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  std::string text;
  if (!CallForStrings(17, {wIndex}, ShortAnswer::Fails, {&text})) return false;
  fennec::service::ParseInternalVariableOrUnnamed(wIndex, text, name, value);
  return true;
}

bool CExtService::GetFWLVersion(std::string& version) {
  return CallForStrings(18, {}, ShortAnswer::Accepted, {&version}) || ClearedAfterFailure({&version});
}

// On failure the caller keeps the list it had.
bool CExtService::GetTableInfo(std::vector<tFBCTable>& tables) {
  std::array<std::uint8_t, kTableListBytes> bytes{};
  if (!CallService(SERVICE_GRP_FBC, 19, {}, bytes, ShortAnswer::Accepted)) return false;
  std::vector<tFBCTable> list;
  if (!fennec::service::AppendTableList(bytes, list)) return Fail(fennec::kCouplerInvalidArgumentCount);
  tables = std::move(list);
  return true;
}

bool CExtService::GetCPUInfo(std::string& burnDate, std::string& psn) {
  return CallForStrings(20, {}, ShortAnswer::Fails, {&burnDate, &psn}) || ClearedAfterFailure({&burnDate, &psn});
}

bool CExtService::EnableTerminalBusExtension(bool bEnable) {
  return CallService(SERVICE_GRP_FBC, 21, {Word(bEnable)}, {});
}

bool CExtService::GetRealTimeClock(std::uint32_t& dwTime, std::uint16_t& wSecond) {
  std::array<std::uint8_t, 6> bytes{};
  if (!CallService(SERVICE_GRP_FBC, 22, {}, bytes)) return false;
  dwTime = fennec::LoadU32LE(std::span(bytes).first<4>());
  wSecond = fennec::LoadU16LE(std::span(bytes).subspan<4, 2>());
  return true;
}

bool CExtService::SetRealTimeClock(std::uint32_t dwTime, std::uint16_t wSecond) {
  const auto low = static_cast<std::uint16_t>(dwTime & 0xFFFF);
  const auto high = static_cast<std::uint16_t>(dwTime >> 16);
  return CallService(SERVICE_GRP_FBC, 23, {low, high, wSecond}, {});
}

bool CExtService::ControlParamSequence(std::uint16_t, std::uint16_t, std::uint16_t) {
  return Fail(fennec::kCouplerServiceNotSupported);
}
