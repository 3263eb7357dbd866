#include "Platform/ByteLine.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "Platform/PollTimeout.h"

namespace fennec::platform {

namespace {

using Clock = std::chrono::steady_clock;

// POLLHUP or an error without readable data: the other end is gone.
enum class Readiness { Ready, Timeout, Closed };

Readiness WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int n = poll(&entry, 1, PollTimeout(deadline));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Readiness::Closed;
    }
    if (n == 0) return Readiness::Timeout;
    if ((entry.revents & events) != 0) return Readiness::Ready;
    return Readiness::Closed;
  }
}

}  // namespace

bool MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

ByteLine::~ByteLine() { Close(); }

ByteLine::ByteLine(ByteLine&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

ByteLine& ByteLine::operator=(ByteLine&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = std::exchange(other.m_fd, -1);
  }
  return *this;
}

void ByteLine::Close() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

ByteLine::ReadResult ByteLine::ReadSome(std::span<std::uint8_t> into, Clock::time_point deadline) {
  if (m_fd < 0) return {ReadStatus::Closed, 0};
  for (;;) {
    switch (WaitFor(m_fd, POLLIN, deadline)) {
      case Readiness::Timeout:
        return {ReadStatus::Timeout, 0};
      case Readiness::Closed:
        return {ReadStatus::Closed, 0};
      case Readiness::Ready:
        break;
    }
    const ssize_t n = read(m_fd, into.data(), into.size());
    if (n > 0) return {ReadStatus::Data, static_cast<std::size_t>(n)};
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    return {ReadStatus::Closed, 0};  // end of file, or EIO once the other side is closed
  }
}

bool ByteLine::ReadExactly(std::span<std::uint8_t> into, Clock::time_point deadline) {
  while (!into.empty()) {
    const ReadResult result = ReadSome(into, deadline);
    if (result.status != ReadStatus::Data) return false;
    into = into.subspan(result.count);
  }
  return true;
}

bool ByteLine::WriteAll(std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
  if (m_fd < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = write(m_fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      if (WaitFor(m_fd, POLLOUT, deadline) != Readiness::Ready) return false;
      continue;
    }
    return false;
  }
  return true;
}

std::size_t ByteLine::Pending() const {
  int count = 0;
  if (m_fd < 0 || ioctl(m_fd, FIONREAD, &count) != 0 || count < 0) return 0;
  return static_cast<std::size_t>(count);
}

ByteLine OpenRawTerminal(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ByteLine();
  if (!MakeRaw(fd)) {
    close(fd);
    return ByteLine();
  }
  return ByteLine(fd);
}

}  // namespace fennec::platform
