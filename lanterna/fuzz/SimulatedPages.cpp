#include "SimulatedPages.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "FuzzCheck.h"

namespace {

using namespace lanterna;

constexpr std::uint8_t kGetRealTimeClock = 22;

tIdentification IdentificationOf(const fennec::sim::Profile& profile) {
  const fennec::sim::Identity& identity = profile.identity;
  tIdentification record;
  record.orderNumber = identity.orderNumber;
  record.description = identity.description;
  record.hardwareVersion = identity.hardwareVersion;
  record.softwareVersion = identity.softwareVersion;
  record.fwlVersion = identity.firmwareLoaderVersion;
  record.serialNumber = identity.serialNumber;
  record.networkIdKind = identity.networkKind;
  record.networkId = identity.networkValue;
  record.clockFlag = profile.Offers(fennec::sim::MakeServiceId(1, kGetRealTimeClock)) ? 1 : 0;
  record.ipAddress = profile.addresses.ip;
  record.subnetMask = profile.addresses.subnetMask;
  record.gateway = profile.addresses.gateway;
  record.table0 = profile.parameterTables.at(0);
  record.table100 = profile.parameterTables.at(100);
  return record;
}

unsigned NumberAt(std::string_view& text) {
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return error == std::errc() ? number : 0;
}

// "FIRST" or "FIRST-LAST", taken from the front of the text.
std::pair<unsigned, unsigned> RangeAt(std::string_view& text) {
  const unsigned first = NumberAt(text);
  if (!text.starts_with('-')) return {first, first};
  text.remove_prefix(1);
  return {first, NumberAt(text)};
}

// The bits of the register that "TABLE:REGISTER", "TABLE:FIRST-LAST", "TABLE:REGISTER bit N" or
// "TABLE:REGISTER bits N-M" names.
std::uint16_t OwnedBits(std::string_view registers, unsigned table, unsigned reg) {
  if (registers.empty() || NumberAt(registers) != table || !registers.starts_with(':')) return 0;
  registers.remove_prefix(1);
  const auto [first, last] = RangeAt(registers);
  if (reg < first || reg > last) return 0;
  for (const std::string_view bits : {std::string_view(" bits "), std::string_view(" bit ")}) {
    if (!registers.starts_with(bits)) continue;
    registers.remove_prefix(bits.size());
    const auto [low, high] = RangeAt(registers);
    std::uint16_t mask = 0;
    for (unsigned bit = low; bit <= high && bit < 16; ++bit) mask = static_cast<std::uint16_t>(mask | (1u << bit));
    return mask;
  }
  return 0xFFFF;
}

void CheckRegisters(const CSettingsPages& pages, bool is32, unsigned table, const std::vector<std::uint16_t>& before,
                    const std::vector<std::uint16_t>& after) {
  FuzzCheck(before.size() == after.size(), "a commit changed the size of a table image");
  for (unsigned reg = 0; reg < after.size(); ++reg) {
    if (before[reg] == after[reg]) continue;
    std::uint16_t owned = 0;
    for (const CPageParameter* parameter : pages.Parameters())
      owned = static_cast<std::uint16_t>(owned | OwnedBits(parameter->Registers(is32), table, reg));
    if (((before[reg] ^ after[reg]) & ~owned) != 0)
      FuzzFail("bits of register " + std::to_string(table) + ":" + std::to_string(reg) +
               " that no field owns changed in the commit");
  }
}

}  // namespace

SimulatedPages::SimulatedPages(const CIniFile& ini, const fennec::sim::Profile& profile)
    : data(ini, false), pages(ini) {
  admitted = data.ApplyIdentification(IdentificationOf(profile), messages);
  Reload();
}

void SimulatedPages::Reload() {
  (void)pages.Load(data.Identification(), data.DevicePages(), data.Table0(), data.Table100());
}

ParameterTexts TextsOf(const CSettingsPages& pages) {
  ParameterTexts texts;
  for (const CPageParameter* parameter : pages.Parameters()) texts.emplace_back(parameter->Key(), parameter->Text());
  return texts;
}

BeforeCommit Snapshot(SimulatedPages& simulated) {
  return {TextsOf(simulated.pages), simulated.data.Table0(), simulated.data.Table100()};
}

void CheckCommitted(SimulatedPages& simulated, const BeforeCommit& before) {
  const bool is32 = simulated.data.Is32() != 0;
  CheckRegisters(simulated.pages, is32, 0, before.table0, simulated.data.Table0());
  CheckRegisters(simulated.pages, is32, 100, before.table100, simulated.data.Table100());
  simulated.Reload();
  const ParameterTexts after = TextsOf(simulated.pages);
  for (std::size_t i = 0; i < after.size(); ++i)
    if (after[i].second != before.texts[i].second)
      FuzzFail(after[i].first + " showed '" + before.texts[i].second + "' before the write and '" + after[i].second +
               "' when read back");
}
