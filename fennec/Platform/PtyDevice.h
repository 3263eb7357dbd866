#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace fennec::platform {

// One end of a byte pipe held as a non-blocking file descriptor: a pseudo-terminal master or
// a terminal opened raw. Reads wait until a deadline; writes give up at a deadline instead of
// blocking for good when nobody drains the other end.
class ByteLine {
 public:
  enum class ReadStatus { Data, Timeout, Closed };
  struct ReadResult {
    ReadStatus status = ReadStatus::Timeout;
    std::size_t count = 0;
  };

  ByteLine() = default;
  explicit ByteLine(int fd) : m_fd(fd) {}
  ~ByteLine();
  ByteLine(ByteLine&& other) noexcept;
  ByteLine& operator=(ByteLine&& other) noexcept;
  ByteLine(const ByteLine&) = delete;
  ByteLine& operator=(const ByteLine&) = delete;

  bool IsOpen() const { return m_fd >= 0; }

  // What has arrived, waiting until the deadline for at least one byte. Closed when the other
  // end hung up or the line failed.
  ReadResult ReadSome(std::span<std::uint8_t> into, std::chrono::steady_clock::time_point deadline);

  // Exactly into.size() bytes, or false at the deadline or on a hang-up.
  bool ReadExactly(std::span<std::uint8_t> into, std::chrono::steady_clock::time_point deadline);

  bool WriteAll(std::span<const std::uint8_t> bytes, std::chrono::steady_clock::time_point deadline);

  // Bytes that have arrived and wait to be read.
  std::size_t Pending() const;

  void Close();

 private:
  int m_fd = -1;
};

// Opens a terminal device (a pty slave, a serial port) raw: no echo, no line editing, no
// character translation.
ByteLine OpenRawTerminal(const std::string& path);

// The device end of a pseudo-terminal pair. A client opens SlavePath() as its serial port;
// the device reads and writes on the master. The slave is held open here as well, so the
// master does not see a hang-up each time a client closes its port.
class PtyDevice {
 public:
  static std::optional<PtyDevice> Create();

  const std::string& SlavePath() const { return m_slavePath; }
  ByteLine& Master() { return m_master; }

  // Bytes the device sent that the client has not read yet.
  std::size_t UnreadByClient() const { return m_heldSlave.Pending(); }

  // Closes both ends held here, as if the cable were pulled: the client's reads fail, and
  // whatever it has not read yet is lost.
  void Cut();

 private:
  PtyDevice(ByteLine master, ByteLine slave, std::string slavePath)
      : m_master(std::move(master)), m_heldSlave(std::move(slave)), m_slavePath(std::move(slavePath)) {}

  ByteLine m_master;
  ByteLine m_heldSlave;
  std::string m_slavePath;
};

}  // namespace fennec::platform
