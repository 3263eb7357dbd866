#include "DeviceExtFrame.h"

#include "DeviceTelegram.h"
#include "WireBytes.h"

namespace fennec::sim {

ParsedExtended ParseExtendedRequest(std::span<const std::uint8_t> bytes) {
  ParsedExtended parsed;
  if (bytes.size() < kExtendedOverhead || U16At(bytes, 2) != bytes.size()) {
    parsed.fault = ExtendedFault::Length;
  } else if (bytes[0] != kRequestStart0 || bytes[1] != kRequestStart1 || bytes[4] != kExtendedProtId) {
    parsed.fault = ExtendedFault::NotARequest;
  } else if (ByteSum(bytes.first(bytes.size() - 2)) != U16At(bytes, bytes.size() - 2)) {
    parsed.fault = ExtendedFault::Checksum;
  } else {
    parsed.frame = {bytes[4], bytes[5], U16At(bytes, 6), bytes[8], bytes[9],
                    std::vector<std::uint8_t>(bytes.begin() + 10, bytes.end() - 2)};
  }
  return parsed;
}

std::vector<std::uint8_t> BuildExtendedAnswer(const ExtendedFrame& frame) {
  std::vector<std::uint8_t> bytes{kAnswerStart0, kAnswerStart1};
  AppendU16(bytes, static_cast<std::uint16_t>(kExtendedOverhead + frame.data.size()));
  bytes.push_back(frame.protId);
  bytes.push_back(frame.cmd);
  AppendU16(bytes, frame.fragCnt);
  bytes.push_back(frame.seqNr);
  bytes.push_back(frame.err);
  bytes.insert(bytes.end(), frame.data.begin(), frame.data.end());
  AppendU16(bytes, ByteSum(bytes));
  return bytes;
}

}  // namespace fennec::sim
