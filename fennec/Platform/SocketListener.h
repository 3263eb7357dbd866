#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "Platform/Socket.h"
#include "Platform/UniqueFd.h"

namespace fennec::platform {

// A listening TCP socket on the loopback address, for the simulator and the tests' peers: the
// side of a connection that the library itself never plays.
class SocketListener {
 public:
  // Listens on 127.0.0.1:port; port 0 lets the system pick a free one. Connections beyond the
  // backlog that nobody accepts get no answer at all. 0 or the errno.
  [[nodiscard]] int Listen(std::uint16_t port, int backlog = 64);
  std::uint16_t Port() const { return m_port; }
  int Handle() const { return m_fd.Get(); }
  bool IsOpen() const { return m_fd.Valid(); }
  void Close() { (void)m_fd.Close(); }

  // The next connection that comes in before the deadline, or nothing.
  std::optional<StreamSocket> Accept(Deadline deadline);

 private:
  UniqueFd m_fd;
  std::uint16_t m_port = 0;
};

// Which of the descriptors have input (or a hang-up) waiting, after waiting at most the limit
// for the first one.
std::vector<bool> WaitForInput(std::span<const int> handles, std::chrono::milliseconds limit);

}  // namespace fennec::platform
