#include <array>
#include <string>

#include "ServiceCatalogue.h"
#include "ServiceText.h"

namespace fennec::sim {

namespace {

using Arguments = std::span<const std::uint16_t>;

constexpr std::uint16_t kWriteEnableWord = 0x6E1B;
constexpr std::size_t kStateWords = 9;

ServiceResult Ok(std::vector<std::uint16_t> words = {}) { return {status::kOk, std::move(words)}; }
ServiceResult Fail(std::uint16_t code) { return {code, {}}; }

ServiceResult Texts(const std::vector<std::string_view>& texts) {
  std::optional<std::vector<std::uint16_t>> packed = PackTexts(texts);
  return packed ? Ok(std::move(*packed)) : Fail(status::kServiceRejected);
}

ServiceResult IdentityTexts(const DeviceState& state, TextGroup group) {
  return Texts(TextsOf(state.profile.identity, group));
}

// A switch argument is a bool word: 0 or 1.
ServiceResult SetSwitch(bool& target, Arguments arguments) {
  if (arguments[0] > 1) return Fail(status::kInvalidArgument);
  target = arguments[0] == 1;
  return Ok();
}

ServiceResult StoreClock(DeviceState& state, std::uint32_t seconds, std::uint16_t timeZone, const Moment& now) {
  SavedParameters saved = state.memory.Content();
  saved.clock.Set(seconds, timeZone, now.calendar);
  return state.memory.Store(std::move(saved)) ? Ok() : Fail(status::kWriteError);
}

std::string AddressText(std::uint16_t low, std::uint16_t high) {
  return std::to_string(low & 0xFF) + "." + std::to_string(low >> 8) + "." + std::to_string(high & 0xFF) + "." +
         std::to_string(high >> 8);
}

// The current IPv4 settings: from table 100 where the device keeps them there, else the
// fixed texts of the profile.
AddressTexts CurrentAddresses(const DeviceState& state) {
  if (state.tables.Size(kEthernetTable) < kIpAddressRegister + 6) return state.profile.addresses;
  const auto words = state.tables.Run(kEthernetTable, kIpAddressRegister, 6);
  return {AddressText(words[0], words[1]), AddressText(words[2], words[3]), AddressText(words[4], words[5])};
}

ServiceResult EnableParamWriting(DeviceState& state, Arguments arguments, const Moment&) {
  if (arguments[0] != kWriteEnableWord && arguments[0] != 0) return Fail(status::kInvalidArgument);
  state.writeEnabled = arguments[0] == kWriteEnableWord;
  return Ok();
}

ServiceResult RestartSystem(DeviceState& state, Arguments, const Moment& now) {
  if (!state.writeEnabled) return Fail(status::kServiceRejected);
  state.restartRequestedAt = now;
  return Ok();
}

ServiceResult GetParameterChecksum(DeviceState& state, Arguments, const Moment&) {
  std::uint16_t sum = 0;
  for (const auto& [table, factory] : state.profile.parameterTables)
    for (const std::uint16_t word : state.tables.Run(table, 0, static_cast<unsigned>(factory.size())))
      sum = static_cast<std::uint16_t>(sum + word);
  return Ok({sum});
}

ServiceResult SetFactoryDefaults(DeviceState& state, Arguments, const Moment&) {
  for (const auto& [table, factory] : state.profile.parameterTables) state.tables.Define(table, factory);
  return Ok();
}

ServiceResult SaveParameter(DeviceState& state, Arguments, const Moment& now) {
  if (state.SaveState(now) == kSaveBusy) return Fail(status::kPreviousNotReady);
  SavedParameters saved = state.memory.Content();
  for (const auto& [table, factory] : state.profile.parameterTables) {
    const auto words = state.tables.Run(table, 0, static_cast<unsigned>(factory.size()));
    saved.tables[table].assign(words.begin(), words.end());
  }
  if (!state.memory.Store(std::move(saved))) return Fail(status::kWriteError);
  state.saveDoneAt = now.steady + state.timings.saveBusy;
  return Ok();
}

ServiceResult GetFBCStates(DeviceState& state, Arguments, const Moment&) {
  std::vector<std::uint16_t> words(kStateWords, 0);
  words[0] = 1;  // running
  words[1] = state.profile.terminalModules;
  return Ok(std::move(words));
}

ServiceResult GetTerminalBusState(DeviceState& state, Arguments, const Moment&) {
  std::vector<std::uint16_t> words(kStateWords, 0);
  words[1] = state.profile.terminalModules;
  return Ok(std::move(words));
}

ServiceResult GetAddressSwitchSetting(DeviceState& state, Arguments, const Moment&) {
  return Ok({state.profile.addressSwitch});
}

ServiceResult IdentifyDevice(DeviceState& state, Arguments, const Moment&) {
  return IdentityTexts(state, TextGroup::Identification);
}

ServiceResult GetFieldbusBaudrate(DeviceState& state, Arguments, const Moment&) {
  return Ok({state.profile.baudMantissa, state.profile.baudExponent});
}

ServiceResult EnableBKMonitorMode(DeviceState& state, Arguments arguments, const Moment&) {
  return SetSwitch(state.switches.monitorMode, arguments);
}

ServiceResult EnableBKControlMode(DeviceState& state, Arguments arguments, const Moment&) {
  return SetSwitch(state.switches.controlMode, arguments);
}

ServiceResult EnableTerminalBusExtension(DeviceState& state, Arguments arguments, const Moment&) {
  return SetSwitch(state.switches.busExtension, arguments);
}

ServiceResult GetNetworkID(DeviceState& state, Arguments, const Moment&) {
  return IdentityTexts(state, TextGroup::NetworkId);
}

ServiceResult GetSerialNumber(DeviceState& state, Arguments, const Moment&) {
  return IdentityTexts(state, TextGroup::SerialNumber);
}

ServiceResult SetFactoryTestMode(DeviceState& state, Arguments arguments, const Moment&) {
  state.switches.factoryTestMode = arguments[0];
  return Ok();
}

ServiceResult GetProductionMarking(DeviceState& state, Arguments, const Moment&) {
  return IdentityTexts(state, TextGroup::ProductionMarking);
}

// Index 0 is the firmware version, 1 to 3 the IPv4 settings; past them the list ends.
ServiceResult GetInternalVariable(DeviceState& state, Arguments arguments, const Moment&) {
  const std::vector<std::pair<std::string, std::string>> variables = InternalVariables(state);
  if (arguments[0] >= variables.size()) return Fail(status::kInvalidArgument);
  const auto& [name, value] = variables[arguments[0]];
  const std::string text = state.profile.namedInternalVariables ? name + ";" + value : value;
  return Texts({text});
}

ServiceResult GetFWLVersion(DeviceState& state, Arguments, const Moment&) {
  return IdentityTexts(state, TextGroup::FirmwareLoader);
}

// The number of tables, then one word per table: table number in bits 9-15, registers in 0-8.
ServiceResult GetTableInfo(DeviceState& state, Arguments, const Moment&) {
  std::vector<std::uint16_t> words{static_cast<std::uint16_t>(state.tables.All().size())};
  for (const auto& [table, image] : state.tables.All())
    words.push_back(static_cast<std::uint16_t>((table << 9) | image.size()));
  return Ok(std::move(words));
}

ServiceResult GetCPUInfo(DeviceState& state, Arguments, const Moment&) {
  return IdentityTexts(state, TextGroup::CpuInfo);
}

ServiceResult GetRealTimeClock(DeviceState& state, Arguments, const Moment& now) {
  const std::uint32_t seconds = state.Clock().Seconds(now.calendar);
  return Ok({static_cast<std::uint16_t>(seconds & 0xFFFF), static_cast<std::uint16_t>(seconds >> 16),
             state.Clock().TimeZone()});
}

ServiceResult SetRealTimeClock(DeviceState& state, Arguments arguments, const Moment& now) {
  const std::uint32_t seconds = arguments[0] | (static_cast<std::uint32_t>(arguments[1]) << 16);
  return StoreClock(state, seconds, arguments[2], now);
}

// The words arrive in the order a, c, b; the device keeps them as they came.
ServiceResult ControlParamSequence(DeviceState& state, Arguments arguments, const Moment&) {
  std::copy(arguments.begin(), arguments.end(), state.switches.paramSequence.begin());
  return Ok();
}

constexpr std::array<ServiceEntry, 25> kCouplerServices{{
    {1, 1, 1, "EnableParamWriting", EnableParamWriting},
    {1, 2, 0, "RestartSystem", RestartSystem},
    {1, 3, 0, "GetParameterChecksum", GetParameterChecksum},
    {1, 4, 0, "SetFactoryDefaults", SetFactoryDefaults},
    {1, 5, 0, "SaveParameter", SaveParameter},
    {1, 6, 0, "GetFBCStates", GetFBCStates},
    {1, 7, 0, "GetAddressSwitchSetting", GetAddressSwitchSetting},
    {1, 8, 0, "IdentifyDevice", IdentifyDevice},
    {1, 9, 0, "GetFieldbusBaudrate", GetFieldbusBaudrate},
    {1, 10, 1, "EnableBKMonitorMode", EnableBKMonitorMode},
    {1, 11, 1, "EnableBKControlMode", EnableBKControlMode},
    {1, 12, 0, "GetNetworkID", GetNetworkID},
    {1, 13, 0, "GetSerialNumber", GetSerialNumber},
    {1, 14, 1, "SetFactoryTestMode", SetFactoryTestMode},
    {1, 15, 0, "GetTerminalBusState", GetTerminalBusState},
    {1, 16, 0, "GetProductionMarking", GetProductionMarking},
    {1, 17, 1, "GetInternalVariable", GetInternalVariable},
    {1, 18, 0, "GetFWLVersion", GetFWLVersion},
    {1, 19, 0, "GetTableInfo", GetTableInfo},
    {1, 20, 0, "GetCPUInfo", GetCPUInfo},
    {1, 21, 1, "EnableTerminalBusExtension", EnableTerminalBusExtension},
    {1, 22, 0, "GetRealTimeClock", GetRealTimeClock},
    {1, 23, 3, "SetRealTimeClock", SetRealTimeClock},
    {1, 32, 3, "ControlParamSequence", ControlParamSequence},
    {0, 255, 0, "GetAddressSwitchSetting (old form)", GetAddressSwitchSetting},
}};

}  // namespace

std::vector<std::pair<std::string, std::string>> InternalVariables(const DeviceState& state) {
  const AddressTexts addresses = CurrentAddresses(state);
  return {
      {"Firmware", state.profile.identity.softwareVersion},
      {"IP address", addresses.ip},
      {"Subnet mask", addresses.subnetMask},
      {"Gateway address", addresses.gateway},
  };
}

std::span<const ServiceEntry> CouplerServices() { return kCouplerServices; }

}  // namespace fennec::sim
