#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
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
  // For the terminal calls of the owner (termios on a pty master acts on its slave).
  int Descriptor() const { return m_fd; }

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

// Switches a terminal (through a pty master: its slave) to raw mode; false when termios refuses.
bool MakeRaw(int fd);

// Opens a terminal device (a pty slave, a serial port) raw: no echo, no line editing, no
// character translation.
ByteLine OpenRawTerminal(const std::string& path);

}  // namespace fennec::platform
