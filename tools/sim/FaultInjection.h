#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "DeviceExtFrame.h"

namespace fennec::sim {

struct ServiceRejection {
  std::uint8_t group = 0;
  std::uint8_t number = 0;
  std::uint16_t status = 0;
};

struct RangeRejection {
  std::uint8_t table = 0;
  unsigned first = 0;
  unsigned last = 0;
  std::uint16_t status = 0;
};

// Refusals the device model makes on request: a named service answers with the given status
// instead of running, a register telegram touching the range is rejected with it.
struct Rejections {
  std::vector<ServiceRejection> services;
  std::vector<RangeRejection> ranges;

  std::optional<std::uint16_t> ForService(std::uint8_t group, std::uint8_t number) const;
  std::optional<std::uint16_t> ForRun(std::uint8_t table, unsigned first, unsigned count) const;
};

// Faults on the line. The counters strike the next requests or answers, one each time, and
// count down; the delay holds back every answer; the cut ends the line after that many
// exchanges; the reset takes the device's power away after that many exchanges.
struct LineFaults {
  unsigned dropNext = 0;       // the request is lost: the device never sees it
  unsigned corruptNext = 0;    // the answer's checksum is wrong
  unsigned wrongStartNext = 0; // the answer starts with a foreign start identifier
  unsigned echoNext = 0;       // the request comes back instead of the answer
  std::chrono::milliseconds delay{0};
  std::optional<unsigned> cutAfter;
  std::optional<unsigned> resetAfter;
};

inline constexpr std::uint8_t kForeignStart0 = 0xAA;
inline constexpr std::uint8_t kForeignStart1 = 0x55;

// Faults in the answers of the extended protocol. Each count strikes the next answer fragments,
// one each time; silentAfter lets that many more answer fragments go out and then leaves the
// rest of that message unanswered.
struct ExtFaults {
  unsigned wrongSeqNr = 0;           // SeqNr one more than the request's
  unsigned wrongCmd = 0;             // another answer command
  unsigned wrongProtId = 0;          // '#' instead of '$'
  unsigned repeatedFragment = 0;     // the fragment before goes out again instead of the next one
  unsigned outOfOrder = 0;           // the fragment carries the counter of the one after it
  unsigned counterZero = 0;          // FragCnt 0
  unsigned withoutData = 0;          // the fragment's data left out
  unsigned badChecksum = 0;
  unsigned badHeader = 0;            // AA 55 instead of 02 FD
  unsigned oversizeLen = 0;          // Len one beyond FragmentSize + 12
  unsigned confirmationInstead = 0;  // an acknowledgement where the answer is due
  std::optional<unsigned> silentAfter;
};

// Uses up one of the count; false when there is none left.
bool Strike(unsigned& count);

// The fields of an answer fragment as the faults change them.
void DamageExtendedFields(ExtFaults& faults, ExtendedFrame& frame);
// The bytes of an answer fragment as the faults change them.
std::vector<std::uint8_t> DamageExtendedBytes(ExtFaults& faults, std::vector<std::uint8_t> bytes,
                                              std::size_t fragmentSize);

// True when this request is lost; uses up one drop.
bool LoseRequest(LineFaults& faults);

// The answer as it reaches the client; each fault that strikes uses up one of its count.
std::vector<std::uint8_t> DamageAnswer(LineFaults& faults, std::vector<std::uint8_t> answer,
                                       std::span<const std::uint8_t> request);

// Faults on the network road, for the framed protocol. The counters strike the next answers (or
// requests), one each time, and count down; the repeat strikes once; the delay holds back every
// answer, past a client's receive time-out when it is long enough.
struct NetworkFaults {
  struct Repeat {
    std::uint16_t fragment = 0;  // the acknowledgement of this request fragment
    std::uint16_t packet = 0;    // asks for this packet again
  };
  std::optional<Repeat> repeat;
  unsigned errorAbortNext = 0;         // the answer gives the request up (status bit 0x0001)
  unsigned wrongIdentifierNext = 0;    // the answer carries another protocol identifier
  unsigned wrongRequestNumberNext = 0; // the answer carries another request number
  unsigned overstateLengthNext = 0;    // the answer's header announces more data than follows
  unsigned closeInsideRequestNext = 0; // the request's frame arrives, then the connection closes
  std::chrono::milliseconds delay{0};
};

// The packet a repeat strikes with for this fragment, using it up.
std::optional<std::uint16_t> RepeatFor(NetworkFaults& faults, std::uint16_t fragment);

// True when the connection is to close instead of answering; uses up one.
bool CloseInsideRequest(NetworkFaults& faults);

// The answer frame as it leaves the device; each fault that strikes uses up one of its count.
std::vector<std::uint8_t> DamageFrame(NetworkFaults& faults, std::vector<std::uint8_t> frame);

}  // namespace fennec::sim
