#include "ExtendedEndpoint.h"

#include <algorithm>

namespace fennec::sim {

namespace {

constexpr std::uint8_t kRegisterRead = 1;
constexpr std::uint8_t kRegisterWrite = 2;
constexpr std::uint8_t kService = 3;
constexpr std::uint8_t kEcho = 127;

// Fragment error codes the device sends back in Err.
constexpr std::uint8_t kErrBufferTooSmall = 1;
constexpr std::uint8_t kErrFragmentTooLong = 2;
constexpr std::uint8_t kErrSeqNr = 4;
constexpr std::uint8_t kErrCommand = 5;
constexpr std::uint8_t kErrNoData = 6;
constexpr std::uint8_t kErrDataMissing = 11;

bool KnownCommand(std::uint8_t cmd) {
  return cmd == kRegisterRead || cmd == kRegisterWrite || cmd == kService || cmd == kEcho;
}

ExtendedEndpoint::Result Silent(std::string why) { return {std::nullopt, "no answer: " + std::move(why)}; }

// An empty answer (the echo of nothing) still goes out as one fragment.
std::size_t FragmentsOf(std::size_t bytes, std::size_t fragmentSize) {
  return bytes == 0 ? 1 : (bytes + fragmentSize - 1) / fragmentSize;
}

std::string Named(const ExtendedFrame& frame) {
  return "extended fragment " + std::to_string(frame.Counter()) + (frame.MoreFollow() ? " (more follow)" : "");
}

}  // namespace

ExtendedEndpoint::Result ExtendedEndpoint::Handle(std::span<const std::uint8_t> bytes, const ExtendedLimits& limits,
                                                  const Execute& execute) {
  const ParsedExtended parsed = ParseExtendedRequest(bytes);
  switch (parsed.fault) {
    case ExtendedFault::Length:
      return Silent("extended frame: length does not fit");
    case ExtendedFault::Checksum:
      return Silent("extended frame: checksum wrong");
    case ExtendedFault::NotARequest:
      return Silent("not an extended request");
    case ExtendedFault::None:
      break;
  }
  if (!limits.offered || limits.fragmentSize == 0) return Silent("the extended protocol is not offered");
  if (parsed.frame.cmd == kConfirmCommand) return Confirmed(parsed.frame, limits);
  return Fragment(parsed.frame, limits, execute);
}

ExtendedEndpoint::Result ExtendedEndpoint::Fragment(const ExtendedFrame& frame, const ExtendedLimits& limits,
                                                    const Execute& execute) {
  const bool current = m_message && frame.seqNr == m_message->seqNr;
  if (current && m_message->silenced) return Silent(Named(frame) + ": silent for the rest of the message (injected)");
  if (current && frame.cmd == m_message->cmd && frame.Counter() == m_message->lastCounter &&
      frame.data == m_message->lastData) {
    if (m_message->answer) return SendAnswer(1, limits, Named(frame) + " again: answered again");
    return Acknowledge(frame, 0, Named(frame) + " again: acknowledged again");
  }
  if (const auto err = Refusal(frame, limits))
    return Acknowledge(frame, *err, Named(frame) + ": refused with Err " + std::to_string(*err));
  if (frame.Counter() == 1) m_message = Message{frame.seqNr, frame.cmd, {}, 0, {}, std::nullopt, false};
  Message& message = *m_message;
  message.request.insert(message.request.end(), frame.data.begin(), frame.data.end());
  message.lastCounter = frame.Counter();
  message.lastData = frame.data;
  if (frame.MoreFollow()) return Acknowledge(frame, 0, Named(frame) + " taken");

  ExtendedReply reply = execute(message.cmd, message.request);
  if (reply.oldTelegram) {
    m_message.reset();
    return {std::move(reply.oldTelegram), reply.note + "; answered in the old telegram format"};
  }
  message.answer = std::move(reply.message);
  return SendAnswer(1, limits, reply.note);
}

// Why the device does not take a request fragment, as the Err of its acknowledgement.
std::optional<std::uint8_t> ExtendedEndpoint::Refusal(const ExtendedFrame& frame, const ExtendedLimits& limits) const {
  if (!KnownCommand(frame.cmd)) return kErrCommand;
  const bool first = frame.Counter() == 1;
  if (!first) {
    if (!m_message || m_message->answer) return kErrDataMissing;
    if (frame.seqNr != m_message->seqNr) return kErrSeqNr;
    if (frame.cmd != m_message->cmd) return kErrCommand;
    if (frame.Counter() != m_message->lastCounter + 1) return kErrDataMissing;
  }
  if (frame.data.empty() && (!first || frame.MoreFollow())) return kErrNoData;
  if (frame.data.size() > limits.fragmentSize) return kErrFragmentTooLong;
  const std::size_t taken = first ? 0 : m_message->request.size();
  if (limits.fragmentEnable && limits.targetBufSize != 0 && taken + frame.data.size() > limits.targetBufSize)
    return kErrBufferTooSmall;
  return std::nullopt;
}

ExtendedEndpoint::Result ExtendedEndpoint::Confirmed(const ExtendedFrame& frame, const ExtendedLimits& limits) {
  if (frame.err == kErrDataMissing) {
    Forget();
    return Acknowledge(frame, 0, "data-missing notice for fragment " + std::to_string(frame.Counter()));
  }
  if (!m_message || !m_message->answer || frame.seqNr != m_message->seqNr)
    return Silent("acknowledgement of no answer");
  if (m_message->silenced) return Silent("acknowledgement: silent for the rest of the message (injected)");
  const auto next = static_cast<std::uint16_t>(frame.Counter() + 1);
  if (next > FragmentsOf(m_message->answer->size(), limits.fragmentSize))
    return Silent("acknowledgement of the last answer fragment");
  return SendAnswer(next, limits, "answer fragment " + std::to_string(frame.Counter()) + " acknowledged");
}

ExtendedEndpoint::Result ExtendedEndpoint::Acknowledge(const ExtendedFrame& frame, std::uint8_t err,
                                                       std::string note) const {
  return {BuildExtendedAnswer({kExtendedProtId, kConfirmCommand, frame.Counter(), frame.seqNr, err, {}}),
          std::move(note)};
}

ExtendedEndpoint::Result ExtendedEndpoint::SendAnswer(std::uint16_t counter, const ExtendedLimits& limits,
                                                      std::string note) {
  Message& message = *m_message;
  if (m_faults.silentAfter) {
    if (*m_faults.silentAfter == 0) {
      message.silenced = true;
      m_faults.silentAfter.reset();
      return Silent(note + "; silent for the rest of the message (injected)");
    }
    --*m_faults.silentAfter;
  }
  if (counter == 1 && Strike(m_faults.confirmationInstead))
    return {BuildExtendedAnswer({kExtendedProtId, kConfirmCommand, message.lastCounter, message.seqNr, 0, {}}),
            note + "; an acknowledgement instead of the answer (injected)"};
  std::uint16_t sent = counter;
  if (counter >= 2 && Strike(m_faults.repeatedFragment)) {
    sent = static_cast<std::uint16_t>(counter - 1);
    note += "; the fragment before repeated (injected)";
  }
  const std::vector<std::uint8_t>& answer = *message.answer;
  const std::size_t total = FragmentsOf(answer.size(), limits.fragmentSize);
  const std::size_t offset = (sent - 1u) * limits.fragmentSize;
  const std::size_t length = std::min(limits.fragmentSize, answer.size() - offset);
  ExtendedFrame fragment{kExtendedProtId,
                         static_cast<std::uint8_t>(message.cmd | kAnswerCommand),
                         static_cast<std::uint16_t>(sent | (sent < total ? kMoreFragments : 0)),
                         message.seqNr,
                         0,
                         {answer.begin() + static_cast<std::ptrdiff_t>(offset),
                          answer.begin() + static_cast<std::ptrdiff_t>(offset + length)}};
  DamageExtendedFields(m_faults, fragment);
  note += "; answer fragment " + std::to_string(sent) + " of " + std::to_string(total);
  return {DamageExtendedBytes(m_faults, BuildExtendedAnswer(fragment), limits.fragmentSize), std::move(note)};
}

}  // namespace fennec::sim
