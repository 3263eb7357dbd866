#include "ExtFragments.h"

#include <algorithm>

#include "Common/ByteOrder.h"
#include "ExtResultCodes.h"

namespace fennec::ext {

namespace {

// The old telegram a restarting coupler answers with, read as an extended frame: length 14,
// message ident 0, multipoint address 0 (the ProtID), one register, identifier 'r', module 0,
// table 99, register 0 and one data word 0.
const ExtFrame kOldRestartAnswer{0x00, 0x01, 0x0072, 0x63, 0x00, {0x00, 0x00}};
constexpr std::uint16_t kRestartGroup = 1;
constexpr std::uint16_t kRestartService = 2;
// The service header the old answer stands for: usLen 12, group 1, number 2, no arguments, no
// results, no error.
const std::vector<std::uint8_t> kRestartAnswerMessage{12, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0};

FrameVerdict Check(const ExtFrame& received, std::uint8_t expectedCmd, const SentFields& sent) {
  if (received.cmd != expectedCmd) return {kWrongCommand, kErrCommand};
  if (received.seqNr != sent.seqNr) return {kWrongSeqNr, kErrSeqNr};
  if (received.protId != sent.protId) return {kWrongProtId, 0};
  return {received.err, received.err};
}

bool IsRestartRequest(std::span<const std::uint8_t> message, const ExtFrame& sent) {
  return sent.cmd == kServiceCommand && message.size() >= 6 && LoadU16LE(message.subspan<2, 2>()) == kRestartGroup &&
         LoadU16LE(message.subspan<4, 2>()) == kRestartService;
}

}  // namespace

std::optional<ExtFrame> BuildFragment(std::span<const std::uint8_t> message, std::uint16_t counter,
                                      std::size_t fragmentSize, const T_FragInfo& info) {
  const std::size_t offset = (std::size_t{counter} - 1) * fragmentSize;
  if (counter == 0 || fragmentSize == 0 || (counter > 1 && offset >= message.size())) return std::nullopt;
  const std::size_t remaining = message.size() - offset;
  const bool more = remaining > fragmentSize;
  const auto data = message.subspan(offset, more ? fragmentSize : remaining);
  ExtFrame fragment;
  fragment.protId = kProtId;
  fragment.cmd = info.byCmd;
  fragment.fragCnt = static_cast<std::uint16_t>(counter | (more ? kMoreFragments : 0));
  fragment.seqNr = info.bySeqNr;
  fragment.err = info.byErrCode;
  fragment.data.assign(data.begin(), data.end());
  return fragment;
}

FrameVerdict CheckConfirmation(const ExtFrame& received, const SentFields& sent) {
  return Check(received, kConfirmation, sent);
}

FrameVerdict CheckResponse(const ExtFrame& received, const SentFields& sent) {
  return Check(received, static_cast<std::uint8_t>(sent.cmd + kAnswerFlag), sent);
}

FrameVerdict StoreFragment(Reassembly& reassembly, const ExtFrame& fragment, std::span<std::uint8_t> answer,
                           std::size_t fragmentSize) {
  const std::uint16_t counter = fragment.Counter();
  if (counter == 0) return {kCounterZero};
  if (counter == reassembly.lastCounter) return {kRepeatedFragment};
  if (counter != reassembly.lastCounter + 1) return {kOutOfOrder};
  const std::size_t length = fragment.data.size();
  if (length > fragmentSize) return {kFragmentTooLong, kErrFragmentTooLong};
  if (length == 0) return {kFragmentWithoutData, kErrNoData};
  const std::size_t offset = std::min((std::size_t{counter} - 1) * fragmentSize, answer.size());
  const std::size_t stored = std::min(length, answer.size() - offset);
  std::copy_n(fragment.data.begin(), stored, answer.begin() + static_cast<std::ptrdiff_t>(offset));
  reassembly.received = static_cast<std::uint16_t>(reassembly.received + stored);
  reassembly.lastCounter = counter;
  if (stored < length) return {kAnswerCut, kErrBufferTooSmall};
  return {};
}

ExtFrame Confirmation(std::uint16_t counter, const SentFields& sent, std::uint8_t errCode) {
  return {sent.protId, kConfirmation, static_cast<std::uint16_t>(counter & kCounterMask), sent.seqNr, errCode, {}};
}

OldProtocolVerdict ExamineOldProtocolAnswer(const ExtFrame& received, std::span<const std::uint8_t> message,
                                            const ExtFrame& sent) {
  if (received.protId != kProtId && received.protId != 0) return {kWrongProtId, std::nullopt};
  if (!IsRestartRequest(message, sent) || received != kOldRestartAnswer) return {kOldProtocolAnswer, std::nullopt};
  return {0, ExtFrame{kProtId, static_cast<std::uint8_t>(kServiceCommand | kAnswerFlag), 1, sent.seqNr, sent.err,
                      kRestartAnswerMessage}};
}

}  // namespace fennec::ext
