#include "Platform/PseudoTerminal.h"

#include <sys/ioctl.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "Platform/TermiosSettings.h"

namespace fennec::platform {

namespace {

using Clock = std::chrono::steady_clock;

// A slave side that has not taken the bytes by then is not being read at all.
constexpr std::chrono::seconds kSendLimit{5};

[[noreturn]] void ThrowSystemError(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

PseudoTerminal::PseudoTerminal(Start start, Slave slave)
    : m_master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
  if (!m_master.IsOpen()) ThrowSystemError("posix_openpt");
  const int master = m_master.Descriptor();
  if (grantpt(master) != 0 || unlockpt(master) != 0) ThrowSystemError("unlockpt");
  char name[128] = {};
  if (ptsname_r(master, name, sizeof name) != 0) ThrowSystemError("ptsname_r");
  m_slavePath = name;

  // Termios calls on the master act on the slave.
  if (start == Start::Raw && !MakeRaw(master)) ThrowSystemError("tcsetattr");
  if (slave == Slave::Free) return;
  m_heldSlave = ByteLine(open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!m_heldSlave.IsOpen()) ThrowSystemError("open");
}

bool PseudoTerminal::Send(std::span<const std::uint8_t> bytes) { return m_master.WriteAll(bytes, Clock::now() + kSendLimit); }

std::vector<std::uint8_t> PseudoTerminal::Receive(std::size_t count, std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  std::vector<std::uint8_t> received(count);
  std::size_t got = 0;
  while (got < count) {
    const ByteLine::ReadResult result = m_master.ReadSome(std::span(received).subspan(got), deadline);
    if (result.status != ByteLine::ReadStatus::Data) break;
    got += result.count;
  }
  received.resize(got);
  return received;
}

LineSettings PseudoTerminal::SlaveLineSettings() const {
  termios attributes{};
  tcgetattr(m_master.Descriptor(), &attributes);
  return LineSettingsOf(attributes);
}

bool PseudoTerminal::ReleaseAbandonedSlave() {
  if (!m_heldSlave.IsOpen()) return false;
  const int slave = m_heldSlave.Descriptor();
  int exclusive = 0;
  if (ioctl(slave, TIOCGEXCL, &exclusive) != 0 || exclusive == 0) return false;
  // The lock is free only when its client is gone; held here for the moment it takes to clear
  // the flag, it refuses a new client until the flag is gone.
  if (flock(slave, LOCK_EX | LOCK_NB) != 0) return false;
  const bool cleared = ioctl(slave, TIOCNXCL) == 0;
  flock(slave, LOCK_UN);
  return cleared;
}

void PseudoTerminal::Cut() {
  m_master.Close();
  m_heldSlave.Close();
}

}  // namespace fennec::platform

namespace fennec::platform {

bool PseudoTerminal::SlaveIsExclusive() const {
  int exclusive = 0;
  return m_heldSlave.IsOpen() && ioctl(m_heldSlave.Descriptor(), TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

}  // namespace fennec::platform
