#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "Platform/UniqueFd.h"

namespace fennec::platform {

// An IPv4 address, first byte first: 192.168.1.111 is {192, 168, 1, 111}.
using Ipv4Address = std::array<std::uint8_t, 4>;

// How long a socket call may wait: until the time point, or without limit.
using Deadline = std::optional<std::chrono::steady_clock::time_point>;

// What one socket operation did: the bytes it moved, and the errno of its failure (0: none).
// A receive that moves no byte without an error found the end of the stream: the peer closed.
struct SocketTransfer {
  std::size_t count = 0;
  int error = 0;
};

// One TCP connection over IPv4, non-blocking underneath: every wait is a poll bounded by its
// deadline, and a wait that runs out fails with ETIMEDOUT. Sends never raise SIGPIPE: a peer
// that has gone gives EPIPE. Nagle's algorithm is off, as a request/answer protocol wants.
class StreamSocket {
 public:
  StreamSocket() = default;
  // Takes over a connected descriptor (an accepted connection).
  explicit StreamSocket(UniqueFd fd) : m_fd(std::move(fd)) {}

  // Each returns 0 or the errno of the failed call.
  [[nodiscard]] int Create();
  // Binds to 0.0.0.0, port 0: any local address, a port the system picks.
  [[nodiscard]] int BindAny();
  [[nodiscard]] int Connect(const Ipv4Address& address, std::uint16_t port, Deadline deadline);
  [[nodiscard]] int Close() { return m_fd.Close(); }

  // One send of as much as the socket takes, once it has room.
  [[nodiscard]] SocketTransfer Send(std::span<const std::uint8_t> bytes, Deadline deadline);
  // One receive of what has arrived, once something has.
  [[nodiscard]] SocketTransfer Receive(std::span<std::uint8_t> into, Deadline deadline);
  // All of the bytes, or as many as went before a failure.
  [[nodiscard]] SocketTransfer SendAll(std::span<const std::uint8_t> bytes, Deadline deadline);
  // All of into, or as many as came before a failure or the end of the stream.
  [[nodiscard]] SocketTransfer ReceiveAll(std::span<std::uint8_t> into, Deadline deadline);

  bool IsOpen() const { return m_fd.Valid(); }
  int Handle() const { return m_fd.Get(); }

 private:
  UniqueFd m_fd;
};

// The deadline that lies the given time from now; no limit for nothing.
Deadline DeadlineAfter(std::optional<std::chrono::milliseconds> limit);

}  // namespace fennec::platform
