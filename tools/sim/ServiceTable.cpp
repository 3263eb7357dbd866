#include "ServiceTable.h"

#include <algorithm>
#include <array>

namespace fennec::sim {

namespace {

constexpr std::size_t kMaxArguments = kServiceTableSize - 2;

const ServiceEntry* FindService(std::uint8_t group, std::uint8_t number) {
  for (const auto catalogue : std::array{CouplerServices(), DiagnosisServices(), FileServices()})
    for (const ServiceEntry& entry : catalogue)
      if (entry.group == group && entry.number == number) return &entry;
  return nullptr;
}

}  // namespace

ServiceOutcome RunServiceRequest(DeviceState& state, std::span<const std::uint16_t> block,
                                 const Rejections& rejections, const Moment& now) {
  ServiceOutcome outcome;
  outcome.requestWord = block[0];
  const auto group = static_cast<std::uint8_t>(block[0] & 0xFF);
  const auto number = static_cast<std::uint8_t>(block[0] >> 8);
  const ServiceId service = MakeServiceId(group, number);
  const ServiceEntry* entry = FindService(group, number);
  outcome.name = entry != nullptr ? entry->name : "unknown service";

  const std::size_t argumentCount = block.size() >= 2 ? block[1] : 0;
  if (const auto refused = rejections.ForService(group, number)) {
    outcome.result.status = *refused;
  } else if (entry == nullptr || !state.profile.Offers(service)) {
    outcome.result.status = status::kUnknownService;
  } else if (block.size() < 2 || argumentCount > kMaxArguments || argumentCount != entry->argumentCount ||
             block.size() < 2 + argumentCount) {
    outcome.result.status = status::kInvalidArgumentCount;
  } else {
    outcome.result = entry->run(state, block.subspan(2, argumentCount), now);
  }
  state.lastStatus[service] = outcome.result.status;
  return outcome;
}

std::vector<std::uint16_t> ResponseBlock(const ServiceOutcome& outcome) {
  std::vector<std::uint16_t> block(kServiceTableSize, 0);
  const std::size_t results = std::min(outcome.result.words.size(), kServiceTableSize - 3);
  block[0] = outcome.requestWord;
  block[1] = static_cast<std::uint16_t>(1 + results);
  block[2] = outcome.result.status;
  std::copy_n(outcome.result.words.begin(), results, block.begin() + 3);
  return block;
}

}  // namespace fennec::sim
