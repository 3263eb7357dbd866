#include "ServiceText.h"

#include "WireBytes.h"

namespace fennec::sim {

std::vector<std::string_view> TextsOf(const Identity& identity, TextGroup group) {
  switch (group) {
    case TextGroup::Identification:
      return {identity.orderNumber, identity.description, identity.hardwareVersion, identity.softwareVersion};
    case TextGroup::NetworkId:
      return {identity.networkKind, identity.networkValue};
    case TextGroup::SerialNumber:
      return {identity.serialNumber};
    case TextGroup::FirmwareLoader:
      return {identity.firmwareLoaderVersion};
    case TextGroup::CpuInfo:
      return {identity.burnDate, identity.psn};
    case TextGroup::ProductionMarking:
      return {identity.productionMarking, identity.qsMarking};
  }
  return {};
}

std::optional<std::vector<std::uint16_t>> PackTexts(std::span<const std::string_view> texts) {
  std::vector<std::uint8_t> bytes;
  for (const std::string_view text : texts) {
    if (text.size() > 0xFF) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(text.size()));
  }
  for (const std::string_view text : texts) bytes.insert(bytes.end(), text.begin(), text.end());
  if (bytes.size() > 2 * kMaxResultWords) return std::nullopt;
  return BytesToWords(bytes);
}

}  // namespace fennec::sim
