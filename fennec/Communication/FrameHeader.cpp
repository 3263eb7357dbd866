#include "Communication/FrameHeader.h"

#include "Common/ByteOrder.h"

namespace fennec::framed {

namespace {

constexpr std::size_t kAnnouncedAt = 4;

}  // namespace

HeaderBytes EncodeHeader(const FrameHeader& header) {
  HeaderBytes bytes{};
  const std::span<std::uint8_t, kHeaderSize> out(bytes);
  StoreU16LE(out.subspan<0, 2>(), header.identifier);
  StoreU16LE(out.subspan<2, 2>(), header.requestNumber);
  StoreU16LE(out.subspan<4, 2>(), header.fragmentNumber);
  StoreU16LE(out.subspan<6, 2>(), header.totalFragments);
  StoreU16LE(out.subspan<8, 2>(), static_cast<std::uint16_t>(header.reserved & 0xFFFF));
  StoreU16LE(out.subspan<10, 2>(), static_cast<std::uint16_t>(header.reserved >> 16));
  StoreU16LE(out.subspan<12, 2>(), header.result);
  StoreU16LE(out.subspan<14, 2>(), header.status);
  StoreU16LE(out.subspan<16, 2>(), header.dataLength);
  return bytes;
}

FrameHeader DecodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes) {
  return {
      .identifier = LoadU16LE(bytes.subspan<0, 2>()),
      .requestNumber = LoadU16LE(bytes.subspan<2, 2>()),
      .fragmentNumber = LoadU16LE(bytes.subspan<4, 2>()),
      .totalFragments = LoadU16LE(bytes.subspan<6, 2>()),
      .reserved = LoadU32LE(bytes.subspan<8, 4>()),
      .result = LoadU16LE(bytes.subspan<12, 2>()),
      .status = LoadU16LE(bytes.subspan<14, 2>()),
      .dataLength = LoadU16LE(bytes.subspan<16, 2>()),
  };
}

AnswerCheck CheckAnswer(const FrameHeader& request, const FrameHeader& answer) {
  if (answer.identifier != request.identifier) return {Verdict::WrongIdentifier, answer.identifier};
  if (answer.requestNumber != request.requestNumber) return {Verdict::DifferentRequestNumber, answer.requestNumber};
  if (answer.fragmentNumber != request.fragmentNumber)
    return {Verdict::DifferentFragmentNumber, answer.fragmentNumber};
  if (answer.totalFragments != request.totalFragments) return {Verdict::DifferentTotal, answer.totalFragments};
  if (answer.status == request.status)
    return {answer.result == request.result ? Verdict::Accepted : Verdict::NotAccepted, 0};
  if ((answer.status & kErrorAbort) != 0) return {Verdict::ErrorAbort, answer.status};
  return {Verdict::NotAccepted, 0};
}

std::optional<std::uint16_t> AnnouncedNumber(std::span<const std::uint8_t> data) {
  if (data.size() < kAnnouncedAt + 2) return std::nullopt;
  return LoadU16LE(data.subspan(kAnnouncedAt).first<2>());
}

}  // namespace fennec::framed
