#include "ExtMessage.h"

#include <array>

#include "Common/ByteOrder.h"
#include "ExtResultCodes.h"

namespace fennec::ext {

namespace {

using HeaderWords = std::array<std::uint16_t, kMessageHeader / 2>;

std::vector<std::uint8_t> StartMessage(std::size_t length, const HeaderWords& header) {
  std::vector<std::uint8_t> message;
  message.reserve(length);
  for (const std::uint16_t word : header) AppendU16LE(message, word);
  return message;
}

// The answer buffer is as long as the answer expected, and never shorter than a header.
HeaderWords ReadHeader(std::span<const std::uint8_t> answer) {
  HeaderWords header{};
  for (std::size_t i = 0; i < header.size() && 2 * i + 2 <= answer.size(); ++i)
    header[i] = LoadU16LE(answer.subspan(2 * i).first<2>());
  return header;
}

// usLen first: against what arrived, then against what was asked for.
std::uint32_t CheckLength(std::uint16_t usLen, std::size_t received, std::size_t expected) {
  if (usLen != received) return kLengthNotReceived;
  if (usLen != expected) return kLengthNotExpected;
  return 0;
}

}  // namespace

std::uint32_t CheckMessageSize(std::uint32_t send, std::uint32_t receive, const ProtocolLimits& limits) {
  if (send > kMaxMessage || receive > kMaxMessage) return kBeyondTargetBuffer;
  if (limits.fragmentSize == 0) return kBeyondFragment;
  if (!limits.fragmentEnable) return send > limits.fragmentSize || receive > limits.fragmentSize ? kBeyondFragment : 0;
  if (limits.targetBufSize != 0 && (send > limits.targetBufSize || receive > limits.targetBufSize))
    return kBeyondTargetBuffer;
  return 0;
}

std::vector<std::uint8_t> BuildRegisterMessage(const T_RegComInfo& info, std::span<const std::uint16_t> words) {
  const std::size_t length = kMessageHeader + 2 * words.size();
  std::vector<std::uint8_t> message =
      StartMessage(length, {static_cast<std::uint16_t>(length), info.KlNr, info.TabNr, info.RegNr, info.RegCnt, 0});
  for (const std::uint16_t word : words) AppendU16LE(message, word);
  return message;
}

std::vector<std::uint8_t> BuildServiceMessage(const T_SrvComInfo& info, std::span<const std::uint8_t> arguments) {
  const std::size_t length = kMessageHeader + arguments.size();
  std::vector<std::uint8_t> message = StartMessage(
      length, {static_cast<std::uint16_t>(length), info.SrvGrp, info.SrvNr, info.WrArg, info.RdArg, 0});
  message.insert(message.end(), arguments.begin(), arguments.end());
  return message;
}

AnswerCheck CheckRegisterAnswer(std::span<const std::uint8_t> answer, std::size_t received,
                                const T_RegComInfo& request) {
  const auto [usLen, klNr, tabNr, regNr, regCnt, err] = ReadHeader(answer);
  if (const std::uint32_t result = CheckLength(usLen, received, answer.size())) return {result};
  if (klNr != request.KlNr) return {kModuleDiffers};
  if (tabNr != request.TabNr) return {kTableDiffers};
  if (regNr != request.RegNr || regCnt != request.RegCnt) return {kRegisterDiffers};
  return {0, err};
}

AnswerCheck CheckServiceAnswer(std::span<const std::uint8_t> answer, std::size_t received,
                               const T_SrvComInfo& request) {
  const auto [usLen, group, number, wrArg, rdArg, err] = ReadHeader(answer);
  if (const std::uint32_t result = CheckLength(usLen, received, answer.size())) return {result};
  if (group != request.SrvGrp) return {kGroupDiffers};
  if (number != request.SrvNr) return {kServiceDiffers};
  if (wrArg != request.WrArg) return {kWrArgDiffers};
  if (rdArg != request.RdArg) return {kRdArgDiffers};
  return {0, err};
}

}  // namespace fennec::ext
