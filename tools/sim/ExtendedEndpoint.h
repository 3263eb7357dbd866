#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "DeviceExtFrame.h"
#include "FaultInjection.h"
#include "ProtocolTable.h"

namespace fennec::sim {

// What a complete request message of the extended protocol becomes.
struct ExtendedReply {
  std::vector<std::uint8_t> message;                     // the answer, sent as fragments
  std::optional<std::vector<std::uint8_t>> oldTelegram;  // instead: one old register telegram
  std::string note;
};

// The device's side of the extended protocol without any transport: one frame in, at most one
// frame out. It keeps the message in progress: request fragments are taken in order and
// acknowledged one by one, a complete message is handed to the message layer, and its answer
// goes out one fragment per acknowledgement. A fragment repeated by the client is acknowledged
// (or answered) again without being taken twice.
class ExtendedEndpoint {
 public:
  using Execute = std::function<ExtendedReply(std::uint8_t cmd, std::span<const std::uint8_t> message)>;

  struct Result {
    std::optional<std::vector<std::uint8_t>> answer;  // nothing: no answer
    std::string note;
  };

  Result Handle(std::span<const std::uint8_t> bytes, const ExtendedLimits& limits, const Execute& execute);

  // Forgets the message in progress (another kind of request came, or the device restarted).
  void Forget() { m_message.reset(); }

  ExtFaults& Faults() { return m_faults; }

 private:
  struct Message {
    std::uint8_t seqNr = 0;
    std::uint8_t cmd = 0;
    std::vector<std::uint8_t> request;
    std::uint16_t lastCounter = 0;
    std::vector<std::uint8_t> lastData;  // of the fragment taken last: a repetition brings it again
    std::optional<std::vector<std::uint8_t>> answer;
    bool silenced = false;
  };

  Result Fragment(const ExtendedFrame& frame, const ExtendedLimits& limits, const Execute& execute);
  Result Confirmed(const ExtendedFrame& frame, const ExtendedLimits& limits);
  Result Acknowledge(const ExtendedFrame& frame, std::uint8_t err, std::string note) const;
  Result SendAnswer(std::uint16_t counter, const ExtendedLimits& limits, std::string note);
  std::optional<std::uint8_t> Refusal(const ExtendedFrame& frame, const ExtendedLimits& limits) const;

  std::optional<Message> m_message;
  ExtFaults m_faults;
};

}  // namespace fennec::sim
