#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "ExtFrame.h"
#include "ExtProtTypes.h"

// The fragment steps of the extended protocol as pure functions: splitting a message into
// fragments, judging what the device sends back, reassembling its answer.
namespace fennec::ext {

// What the answers and confirmations of the device must repeat: the command, sequence number
// and protocol identifier of the fragment built last.
struct SentFields {
  std::uint8_t cmd = 0;
  std::uint8_t seqNr = 0;
  std::uint8_t protId = 0;
};

// A step's result (0: good) and the fragment error code to send back with a repetition.
struct FrameVerdict {
  std::uint32_t result = 0;
  std::uint8_t errCode = 0;
};

// Fragment `counter` (1 for the first) of the message: the next fragmentSize bytes, bit 15 of
// FragCnt set when more follow. Nothing when that fragment would start beyond the message or
// no fragment can carry data.
std::optional<ExtFrame> BuildFragment(std::span<const std::uint8_t> message, std::uint16_t counter,
                                      std::size_t fragmentSize, const T_FragInfo& info);

// The device acknowledges a fragment: Cmd 0, the SeqNr and ProtID sent; its Err, when not 0,
// is the result and the code to send back.
FrameVerdict CheckConfirmation(const ExtFrame& received, const SentFields& sent);
// A fragment of the answer: Cmd is the command sent plus 0x80, SeqNr and ProtID as sent.
FrameVerdict CheckResponse(const ExtFrame& received, const SentFields& sent);

// The answer as far as it has arrived.
struct Reassembly {
  std::uint16_t received = 0;     // data bytes stored
  std::uint16_t lastCounter = 0;  // counter of the fragment stored last
};

// Stores an answer fragment at its place in the answer: counters must run 1, 2, 3, ... and every
// fragment carries 1 .. fragmentSize bytes. What does not fit the answer is cut off (result 15).
FrameVerdict StoreFragment(Reassembly& reassembly, const ExtFrame& fragment, std::span<std::uint8_t> answer,
                           std::size_t fragmentSize);

// The 12-byte acknowledgement of the fragment with that counter.
ExtFrame Confirmation(std::uint16_t counter, const SentFields& sent, std::uint8_t errCode);

// A device that does not speak the extended protocol: a coupler that restarts answers the
// restart service in the old telegram format before it goes down, which counts as the
// service's answer; any other answer is foreign.
struct OldProtocolVerdict {
  std::uint32_t result = 0;
  std::optional<ExtFrame> answer;  // the answer the restart stands for
};
OldProtocolVerdict ExamineOldProtocolAnswer(const ExtFrame& received, std::span<const std::uint8_t> message,
                                            const ExtFrame& sent);

}  // namespace fennec::ext
