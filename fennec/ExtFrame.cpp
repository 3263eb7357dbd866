#include "ExtFrame.h"

#include "Common/ByteOrder.h"
#include "ORLAHelpFunktions.h"

namespace fennec::ext {

namespace {

constexpr std::uint8_t kRequestStart0 = 0xFD;
constexpr std::uint8_t kRequestStart1 = 0x02;
constexpr std::uint8_t kAnswerStart0 = 0x02;
constexpr std::uint8_t kAnswerStart1 = 0xFD;
constexpr std::size_t kChecksumLength = 2;
constexpr std::size_t kDataOffset = 10;

std::uint16_t ByteSum(std::span<const std::uint8_t> bytes) {
  return CORLAHelpFunktions::CalculateChecksum(bytes.data(), bytes.size());
}

}  // namespace

std::vector<std::uint8_t> EncodeRequest(const ExtFrame& frame) {
  std::vector<std::uint8_t> bytes{kRequestStart0, kRequestStart1};
  bytes.reserve(frame.Len());
  AppendU16LE(bytes, static_cast<std::uint16_t>(frame.Len()));
  bytes.push_back(frame.protId);
  bytes.push_back(frame.cmd);
  AppendU16LE(bytes, frame.fragCnt);
  bytes.push_back(frame.seqNr);
  bytes.push_back(frame.err);
  bytes.insert(bytes.end(), frame.data.begin(), frame.data.end());
  AppendU16LE(bytes, ByteSum(bytes));
  return bytes;
}

LeadCheck CheckLead(std::span<const std::uint8_t, kLeadLength> lead, std::size_t fragmentSize) {
  if (lead[0] != kAnswerStart0 || lead[1] != kAnswerStart1) return {LeadVerdict::WrongHeader};
  const std::size_t length = LoadU16LE(lead.subspan<2, 2>());
  if (length < kFrameOverhead || length > fragmentSize + kFrameOverhead) return {LeadVerdict::BadLength};
  return {LeadVerdict::Good, length - kLeadLength};
}

std::optional<ExtFrame> DecodeFrame(std::span<const std::uint8_t> frame) {
  if (frame.size() < kFrameOverhead || LoadU16LE(frame.subspan<2, 2>()) != frame.size()) return std::nullopt;
  const std::size_t summed = frame.size() - kChecksumLength;
  if (ByteSum(frame.first(summed)) != LoadU16LE(frame.subspan(summed).first<2>())) return std::nullopt;
  ExtFrame decoded;
  decoded.protId = frame[4];
  decoded.cmd = frame[5];
  decoded.fragCnt = LoadU16LE(frame.subspan<6, 2>());
  decoded.seqNr = frame[8];
  decoded.err = frame[9];
  decoded.data.assign(frame.begin() + kDataOffset, frame.begin() + static_cast<std::ptrdiff_t>(summed));
  return decoded;
}

}  // namespace fennec::ext
