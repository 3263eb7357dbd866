// The coupler services (group 1) of CSIOService.
#include <array>

#include "Common/ErrorCodes.h"
#include "SIOService.h"
#include "SIOServiceAnswer.h"
#include "ServiceDecoders.h"

namespace {

constexpr std::uint16_t kWriteEnableKey = 0x6E1B;
constexpr std::uint32_t kRestartPollDelay = 500;
// Couplers older than the address-switch service answer this one instead.
constexpr std::uint8_t kOldGroup = 0;
constexpr std::uint8_t kOldAddressSwitchService = 255;

constexpr std::uint16_t Word(bool value) { return value ? 1 : 0; }

}  // namespace

bool CSIOService::EnableParamWriting(bool bEnable) {
  return Report(CallService(SERVICE_GRP_FBC, 1, {bEnable ? kWriteEnableKey : std::uint16_t{0}}, 0, nullptr));
}

bool CSIOService::RestartSystem() {
  return EnableParamWriting(true) && Report(CallService(SERVICE_GRP_FBC, 2, {}, 0, nullptr, kRestartPollDelay));
}

bool CSIOService::GetParameterChecksum(std::uint16_t& wChecksum) {
  std::array<std::uint16_t, 1> words{};
  if (!Report(CallForWords(SERVICE_GRP_FBC, 3, {}, words))) return false;
  wChecksum = words[0];
  return true;
}

bool CSIOService::SetFactoryDefaults() { return Report(CallService(SERVICE_GRP_FBC, 4, {}, 0, nullptr)); }

bool CSIOService::SaveParameter() { return Report(CallService(SERVICE_GRP_FBC, 5, {}, 0, nullptr)); }

bool CSIOService::GetFBCStates(std::vector<std::uint16_t>& states) {
  tAnswer answer;
  if (!Report(CallService(SERVICE_GRP_FBC, 6, {}, tAnswer::kWholeBlock, &answer))) return false;
  fennec::service::AppendWords(answer.Delivered(), states);
  return true;
}

bool CSIOService::GetAddressSwitchSetting(std::uint16_t& wSetting) {
  std::array<std::uint16_t, 1> words{};
  fennec::Result done = CallForWords(SERVICE_GRP_FBC, 7, {}, words);
  if (done.Is(fennec::kCouplerServiceNotSupported)) {
    // The refusal is reported even when the older form then answers.
    Report(done);
    done = CallForWords(kOldGroup, kOldAddressSwitchService, {}, words);
  }
  if (!Report(done)) return false;
  wSetting = words[0];
  return true;
}

bool CSIOService::IdentifyDevice(std::string& orderNumber, std::string& description, std::string& hardwareVersion,
                                 std::string& softwareVersion) {
  return Report(CallForStrings(8, {}, {&orderNumber, &description, &hardwareVersion, &softwareVersion}));
}

bool CSIOService::GetFieldbusBaudrate(double& dBaudrate) {
  std::array<std::uint16_t, 2> words{};
  if (!Report(CallForWords(SERVICE_GRP_FBC, 9, {}, words))) return false;
  dBaudrate = fennec::service::DecodeBaudrate(words[0], words[1]);
  return true;
}

bool CSIOService::EnableBKMonitorMode(bool bEnable) {
  return Report(CallService(SERVICE_GRP_FBC, 10, {Word(bEnable)}, 0, nullptr));
}

bool CSIOService::EnableBKControlMode(bool bEnable) {
  return Report(CallService(SERVICE_GRP_FBC, 11, {Word(bEnable)}, 0, nullptr));
}

bool CSIOService::GetNetworkID(std::string& kind, std::string& value) {
  return Report(CallForStrings(12, {}, {&kind, &value}));
}

bool CSIOService::GetSerialNumber(std::string& serialNumber) {
  return Report(CallForStrings(13, {}, {&serialNumber}));
}

bool CSIOService::SetFactoryTestMode(const std::uint16_t& wMode) {
  return Report(CallService(SERVICE_GRP_FBC, 14, {wMode}, 0, nullptr));
}

bool CSIOService::GetTerminalBusState(std::vector<std::uint16_t>& states) {
  tAnswer answer;
  if (!Report(CallService(SERVICE_GRP_FBC, 15, {}, tAnswer::kWholeBlock, &answer))) return false;
  fennec::service::AppendWords(answer.Delivered(), states);
  return true;
}

bool CSIOService::GetProductionMarking(std::string& first, std::string& production) {
  return Report(CallForStrings(16, {}, {&first, &production}));
}

bool CSIOService::GetInternalVariable(std::uint16_t wIndex, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  std::string text;
  if (!Report(CallForStrings(17, {wIndex}, {&text}))) return false;
  fennec::service::ParseInternalVariable(wIndex, text, name, value);
  return true;
}

bool CSIOService::GetFWLVersion(std::string& version) { return Report(CallForStrings(18, {}, {&version})); }

bool CSIOService::GetCPUInfo(std::string& burnDate, std::string& psn) {
  return Report(CallForStrings(20, {}, {&burnDate, &psn}));
}

bool CSIOService::EnableTerminalBusExtension(bool bEnable) {
  return Report(CallService(SERVICE_GRP_FBC, 21, {Word(bEnable)}, 0, nullptr));
}

bool CSIOService::GetRealTimeClock(std::uint32_t& dwTime, std::uint16_t& wSecond) {
  std::array<std::uint16_t, 3> words{};
  if (!Report(CallForWords(SERVICE_GRP_FBC, 22, {}, words))) return false;
  dwTime = words[0] | (std::uint32_t{words[1]} << 16);
  wSecond = words[2];
  return true;
}

bool CSIOService::SetRealTimeClock(std::uint32_t dwTime, std::uint16_t wSecond) {
  const auto low = static_cast<std::uint16_t>(dwTime & 0xFFFF);
  const auto high = static_cast<std::uint16_t>(dwTime >> 16);
  return Report(CallService(SERVICE_GRP_FBC, 23, {low, high, wSecond}, 0, nullptr));
}

// The device expects the second and third value swapped.
bool CSIOService::ControlParamSequence(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
  return Report(CallService(SERVICE_GRP_FBC, 32, {a, c, b}, 0, nullptr));
}
