// The messages of the extended protocol in the device model: echo, register read and write on
// the same tables and refusal rules as the telegrams, services through the service table.
#include <array>

#include "DeviceModel.h"
#include "DeviceStatus.h"
#include "HexText.h"
#include "ServiceTable.h"
#include "WireBytes.h"

namespace fennec::sim {

namespace {

constexpr std::uint8_t kRegisterRead = 1;
constexpr std::uint8_t kRegisterWrite = 2;
constexpr std::uint8_t kService = 3;
constexpr std::size_t kHeader = 12;
constexpr std::size_t kMaxMessage = 0xFFFF;
constexpr std::uint8_t kRestartGroup = 1;
constexpr std::uint8_t kRestartNumber = 2;

// Six words head every register and service message; a short message reads as zeros.
using Header = std::array<std::uint16_t, kHeader / 2>;

Header ReadHeader(std::span<const std::uint8_t> message) {
  Header header{};
  for (std::size_t i = 0; i < header.size() && 2 * i + 2 <= message.size(); ++i) header[i] = U16At(message, 2 * i);
  return header;
}

std::vector<std::uint8_t> Message(const Header& header, std::span<const std::uint8_t> payload = {}) {
  std::vector<std::uint8_t> message;
  for (const std::uint16_t word : header) AppendU16(message, word);
  message.insert(message.end(), payload.begin(), payload.end());
  return message;
}

std::vector<std::uint8_t> WordsToBytes(std::span<const std::uint16_t> words) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t word : words) AppendU16(bytes, word);
  return bytes;
}

std::string StatusNote(std::uint16_t status) { return status == status::kOk ? "" : ": status 0x" + Hex4(status); }

// The answer a restarting coupler of the old kind gives: the read answer of register 0 of the
// service table, one word 0.
std::vector<std::uint8_t> OldRestartTelegram() {
  RegisterRequest request;
  request.count = 1;
  request.table = kServiceTable;
  const std::array<std::uint16_t, 1> word{0};
  return BuildReadAnswer(request, word);
}

}  // namespace

DeviceModel::Exchange DeviceModel::HandleExtended(std::span<const std::uint8_t> frame, const Moment& now) {
  const auto protocolTable = m_state.tables.All().find(kProtocolTable);
  const ExtendedLimits limits =
      protocolTable == m_state.tables.All().end() ? ExtendedLimits{} : LimitsOf(protocolTable->second);
  ExtendedEndpoint::Result result = m_extended.Handle(
      frame, limits, [&](std::uint8_t cmd, std::span<const std::uint8_t> message) {
        return ExecuteExtended(cmd, message, now);
      });
  // A restart goes down once its answer is out.
  if (result.answer && m_state.restartRequestedAt) {
    m_silentUntil = now + m_state.timings.restartSilence;
    m_state.restartRequestedAt.reset();
    result.note += "; restarting";
  }
  return {std::move(result.answer), std::move(result.note)};
}

ExtendedReply DeviceModel::ExecuteExtended(std::uint8_t cmd, std::span<const std::uint8_t> message,
                                           const Moment& now) {
  if (cmd == kService) return ServiceMessage(message, now);
  if (cmd == kRegisterRead || cmd == kRegisterWrite) return RegisterMessage(cmd == kRegisterWrite, message);
  return {{message.begin(), message.end()}, std::nullopt, "extended echo of " + std::to_string(message.size()) + " bytes"};
}

ExtendedReply DeviceModel::RegisterMessage(bool write, std::span<const std::uint8_t> message) {
  const auto [usLen, module, table, first, count, err] = ReadHeader(message);
  const std::size_t expected = kHeader + (write ? 2u * count : 0u);
  const std::size_t answerLength = kHeader + (write ? 0u : 2u * count);
  std::optional<std::uint16_t> refusal;
  if (count == 0 || message.size() != expected || usLen != message.size() || answerLength > kMaxMessage)
    refusal = status::kInvalidRegisterCount;
  else
    refusal = Refusal(module, table, first, count, write);
  const std::string what = std::string("extended ") + (write ? "write" : "read") + " table " + std::to_string(table) +
                           " from " + std::to_string(first) + ", " + std::to_string(count) + " register(s)";
  const std::uint16_t status = refusal.value_or(status::kOk);
  const auto length = static_cast<std::uint16_t>(answerLength > kMaxMessage ? kHeader : answerLength);
  const Header header{length, module, table, first, count, status};
  if (refusal) return {Message(header, std::vector<std::uint8_t>(length - kHeader, 0)), std::nullopt, what + StatusNote(status)};
  const auto key = static_cast<std::uint8_t>(table);
  if (write) {
    m_state.tables.Write(key, first, BytesToWords(message.subspan(kHeader)));
    return {Message(header), std::nullopt, what};
  }
  return {Message(header, WordsToBytes(m_state.tables.Run(key, first, count))), std::nullopt, what};
}

ExtendedReply DeviceModel::ServiceMessage(std::span<const std::uint8_t> message, const Moment& now) {
  const auto [usLen, group, number, wrArg, rdArg, err] = ReadHeader(message);
  const std::string what = "extended service " + std::to_string(group) + "/" + std::to_string(number);
  ServiceOutcome outcome;
  if (message.size() != kHeader + wrArg || usLen != message.size() || kHeader + rdArg > kMaxMessage) {
    outcome.result.status = status::kInvalidArgumentCount;
  } else if (group > 0xFF || number > 0xFF) {
    outcome.result.status = status::kUnknownService;
  } else {
    // The service table's request block: the service, the argument words, the arguments.
    const std::vector<std::uint16_t> arguments = BytesToWords(message.subspan(kHeader));
    std::vector<std::uint16_t> block{static_cast<std::uint16_t>(group | (number << 8)),
                                     static_cast<std::uint16_t>(arguments.size())};
    block.insert(block.end(), arguments.begin(), arguments.end());
    outcome = RunServiceRequest(m_state, block, m_rejections, now);
  }
  const std::uint16_t status = outcome.result.status;
  const std::string note = what + " " + outcome.name + StatusNote(status);
  if (status == status::kOk && group == kRestartGroup && number == kRestartNumber &&
      m_state.profile.oldFormatRestartAnswer)
    return {{}, OldRestartTelegram(), note};
  // The results fill the RdArg bytes asked for, cut or padded with zeros.
  const std::size_t results = kHeader + rdArg > kMaxMessage ? 0 : rdArg;
  std::vector<std::uint8_t> payload = WordsToBytes(outcome.result.words);
  payload.resize(results, 0);
  const Header header{static_cast<std::uint16_t>(kHeader + results), group, number, wrArg, rdArg, status};
  return {Message(header, payload), std::nullopt, note};
}

}  // namespace fennec::sim
