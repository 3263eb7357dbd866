#include "Platform/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "Platform/TermiosSettings.h"

namespace fennec::platform {

namespace {

// A slave side that takes nothing for this long is not being read at all.
constexpr int kSendStallMs = 5000;

[[noreturn]] void ThrowSystemError(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

PseudoTerminal::PseudoTerminal(Start start) : m_master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
  if (!m_master.Valid()) ThrowSystemError("posix_openpt");
  if (grantpt(m_master.Get()) != 0 || unlockpt(m_master.Get()) != 0) ThrowSystemError("unlockpt");
  char name[128] = {};
  if (ptsname_r(m_master.Get(), name, sizeof name) != 0) ThrowSystemError("ptsname_r");
  m_slavePath = name;

  if (start == Start::Cooked) return;
  // Termios calls on the master act on the slave.
  termios attributes{};
  if (tcgetattr(m_master.Get(), &attributes) != 0) ThrowSystemError("tcgetattr");
  cfmakeraw(&attributes);
  if (tcsetattr(m_master.Get(), TCSANOW, &attributes) != 0) ThrowSystemError("tcsetattr");
}

bool PseudoTerminal::Send(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::write(m_master.Get(), bytes.data(), bytes.size());
    if (sent > 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(sent));
      continue;
    }
    if (sent < 0 && errno != EINTR && errno != EAGAIN) return false;
    pollfd entry{m_master.Get(), POLLOUT, 0};
    if (poll(&entry, 1, kSendStallMs) == 0) return false;
  }
  return true;
}

std::vector<std::uint8_t> PseudoTerminal::Receive(std::size_t count, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + limit;
  std::vector<std::uint8_t> received(count);
  std::size_t got = 0;
  while (got < count) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) break;
    pollfd entry{m_master.Get(), POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left)) <= 0) continue;
    const ssize_t n = ::read(m_master.Get(), received.data() + got, count - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      break;  // no slave open any more (EIO), or the master is closed
    }
  }
  received.resize(got);
  return received;
}

LineSettings PseudoTerminal::SlaveLineSettings() const {
  termios attributes{};
  tcgetattr(m_master.Get(), &attributes);
  return LineSettingsOf(attributes);
}

void PseudoTerminal::CloseMaster() { m_master.Close(); }

}  // namespace fennec::platform
