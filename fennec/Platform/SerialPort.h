#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "Platform/LineErrors.h"
#include "Platform/LineSettings.h"
#include "Platform/UniqueFd.h"

namespace fennec::platform {

// A system call that failed: its name for the report and its errno.
struct SystemCallFailure {
  std::string call;
  int error = 0;
};

// Nothing on success.
using PortStatus = std::optional<SystemCallFailure>;

struct LineErrorResult {
  std::uint16_t flags = 0;
  PortStatus failure;
};

// How long a read may wait: each wait for the next bytes at most perWait, the whole read at
// most total, both measured from one deadline taken when the read starts.
struct ReadLimits {
  std::chrono::milliseconds perWait;
  std::chrono::microseconds total;
};

struct TransferResult {
  enum class Outcome {
    Complete,    // every byte moved
    TimedOut,    // a wait or the whole time ran out; count says how far it got
    WaitFailed,  // poll failed
    CallFailed,  // read or write failed
    LineClosed,  // the other end hung up: a read found the end of the stream
  };
  std::size_t count = 0;
  Outcome outcome = Outcome::Complete;
  int error = 0;
};

// One serial device opened for exclusive use, in raw mode, with non-blocking I/O whose waits
// poll does. A second opener, from this process or another, is refused: TIOCEXCL keeps out
// other users, and an flock keeps out everyone who takes it, root included (root ignores
// TIOCEXCL). Closing clears TIOCEXCL first: on a pseudo-terminal the flag outlives the
// descriptor and would refuse the next open.
class SerialPort {
 public:
  SerialPort() = default;
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  [[nodiscard]] PortStatus Open(const std::string& path);
  // Raw mode, line settings, then the DTR and RTS lines. The settings are read back, and a
  // driver that did not take them fails the call.
  [[nodiscard]] PortStatus Configure(const LineSettings& settings);
  // Discards unread input and unsent output.
  [[nodiscard]] PortStatus Purge();
  // Purges, then discards whatever still arrives until the line has been quiet for `quiet`, or
  // until `limit` has passed on a line that never falls quiet. A purge alone misses the bytes
  // that were still on their way: the rest of a telegram the device is still sending.
  [[nodiscard]] PortStatus Drain(std::chrono::microseconds quiet, std::chrono::milliseconds limit);
  // The line errors since the last call (or since Open). A tty without error counters, such as
  // a pseudo-terminal, reports none.
  [[nodiscard]] LineErrorResult TakeLineErrors();
  // Fills all of into, unless a limit runs out or the line fails first.
  [[nodiscard]] TransferResult Read(std::span<std::uint8_t> into, ReadLimits limits);
  // Writes all bytes, unless the limit runs out (a partial count, no error) or the line fails.
  [[nodiscard]] TransferResult Write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds limit);
  [[nodiscard]] PortStatus Close();

  bool IsOpen() const { return m_fd.Valid(); }

  // The time-out the transport applies to the port's reads and writes, kept with the port.
  void SetTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
  std::chrono::milliseconds Timeout() const { return m_timeout; }
  // One character's time under the settings of the last Configure.
  std::chrono::microseconds CharacterTime() const { return platform::CharacterTime(m_settings); }

 private:
  [[nodiscard]] PortStatus SetModemLines(const LineSettings& settings);

  UniqueFd m_fd;
  LineSettings m_settings;
  LineCounters m_counters;
  std::chrono::milliseconds m_timeout{0};
};

}  // namespace fennec::platform
