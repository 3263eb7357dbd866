#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

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
// exchanges.
struct LineFaults {
  unsigned dropNext = 0;       // the request is lost: the device never sees it
  unsigned corruptNext = 0;    // the answer's checksum is wrong
  unsigned wrongStartNext = 0; // the answer starts with a foreign start identifier
  unsigned echoNext = 0;       // the request comes back instead of the answer
  std::chrono::milliseconds delay{0};
  std::optional<unsigned> cutAfter;
};

inline constexpr std::uint8_t kForeignStart0 = 0xAA;
inline constexpr std::uint8_t kForeignStart1 = 0x55;

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
