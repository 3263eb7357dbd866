#include "FaultInjection.h"

namespace fennec::sim {

bool Strike(unsigned& count) {
  if (count == 0) return false;
  --count;
  return true;
}

std::optional<std::uint16_t> Rejections::ForService(std::uint8_t group, std::uint8_t number) const {
  for (const ServiceRejection& rule : services)
    if (rule.group == group && rule.number == number) return rule.status;
  return std::nullopt;
}

std::optional<std::uint16_t> Rejections::ForRun(std::uint8_t table, unsigned first, unsigned count) const {
  if (count == 0) return std::nullopt;
  const unsigned last = first + count - 1;
  for (const RangeRejection& rule : ranges)
    if (rule.table == table && first <= rule.last && rule.first <= last) return rule.status;
  return std::nullopt;
}

bool LoseRequest(LineFaults& faults) { return Strike(faults.dropNext); }

std::vector<std::uint8_t> DamageAnswer(LineFaults& faults, std::vector<std::uint8_t> answer,
                                       std::span<const std::uint8_t> request) {
  if (Strike(faults.echoNext)) answer.assign(request.begin(), request.end());
  if (Strike(faults.wrongStartNext)) {
    answer[0] = kForeignStart0;
    answer[1] = kForeignStart1;
  }
  if (Strike(faults.corruptNext)) answer[answer.size() - 2] ^= 0xFF;
  return answer;
}

void DamageExtendedFields(ExtFaults& faults, ExtendedFrame& frame) {
  if (Strike(faults.wrongSeqNr)) ++frame.seqNr;
  if (Strike(faults.wrongCmd)) frame.cmd ^= 0x02;
  if (Strike(faults.wrongProtId)) frame.protId = '#';
  if (Strike(faults.outOfOrder)) frame.fragCnt = static_cast<std::uint16_t>(frame.fragCnt + 1);
  if (Strike(faults.counterZero)) frame.fragCnt = 0;
  if (Strike(faults.withoutData)) frame.data.clear();
}

std::vector<std::uint8_t> DamageExtendedBytes(ExtFaults& faults, std::vector<std::uint8_t> bytes,
                                              std::size_t fragmentSize) {
  if (Strike(faults.badHeader)) {
    bytes[0] = kForeignStart0;
    bytes[1] = kForeignStart1;
  }
  if (Strike(faults.oversizeLen)) {
    const auto length = static_cast<std::uint16_t>(fragmentSize + kExtendedOverhead + 1);
    bytes[2] = static_cast<std::uint8_t>(length & 0xFF);
    bytes[3] = static_cast<std::uint8_t>(length >> 8);
  }
  if (Strike(faults.badChecksum)) bytes[bytes.size() - 2] ^= 0xFF;
  return bytes;
}

}  // namespace fennec::sim
