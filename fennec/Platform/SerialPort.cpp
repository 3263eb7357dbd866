#include "Platform/SerialPort.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <mutex>
#include <set>
#include <utility>

#include "Platform/Interrupts.h"
#include "Platform/TermiosSettings.h"

namespace fennec::platform {

namespace {

// The descriptors of the ports this process holds open, so that an interrupted program can
// give up their exclusive flag before it ends.
std::mutex g_openPortsMutex;
std::set<int> g_openPorts;

void KeepOpenPort(int fd) {
  const std::lock_guard lock(g_openPortsMutex);
  g_openPorts.insert(fd);
}

void ForgetOpenPort(int fd) {
  const std::lock_guard lock(g_openPortsMutex);
  g_openPorts.erase(fd);
}


using Clock = std::chrono::steady_clock;

template <class Call>
auto RetryInterrupted(Call call) {
  for (;;) {
    const auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

SystemCallFailure FailedCall(const char* call) { return {call, errno}; }

// Unix98 pseudo-terminal slaves have the majors 136 to 143.
bool IsPseudoTerminal(int fd) {
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) return false;
  const unsigned deviceMajor = major(status.st_rdev);
  return deviceMajor >= 136 && deviceMajor <= 143;
}

// A pseudo-terminal has no line: its driver always keeps 8 data bits without parity.
bool DriverTookSettings(const termios& wanted, const termios& got, bool pseudoTerminal) {
  tcflag_t compared = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CLOCAL | CREAD;
  if (pseudoTerminal) compared &= ~static_cast<tcflag_t>(CSIZE | PARENB);
  return (wanted.c_cflag & compared) == (got.c_cflag & compared) && cfgetospeed(&wanted) == cfgetospeed(&got) &&
         cfgetispeed(&wanted) == cfgetispeed(&got);
}

enum class WaitOutcome { Ready, TimedOut, Failed };

struct Wait {
  WaitOutcome outcome;
  int error = 0;
};

// Waits for the events until the deadline; an interrupted wait resumes with the time left.
Wait WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd entry{fd, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX)));
    if (ready > 0) return (entry.revents & POLLNVAL) != 0 ? Wait{WaitOutcome::Failed, EBADF} : Wait{WaitOutcome::Ready};
    if (ready < 0 && errno != EINTR) return {WaitOutcome::Failed, errno};
    if (ready == 0 && Clock::now() >= deadline) return {WaitOutcome::TimedOut};
  }
}

struct CounterReading {
  LineCounters counters;
  int error = 0;
};

CounterReading ReadCounters(int fd) {
  serial_icounter_struct raw{};
  if (ioctl(fd, TIOCGICOUNT, &raw) != 0) return {{}, errno};
  auto count = [](int value) { return static_cast<std::uint32_t>(value); };
  return {{count(raw.buf_overrun), count(raw.overrun), count(raw.parity), count(raw.frame), count(raw.brk)}, 0};
}

// The driver keeps no error counters (a pseudo-terminal, many USB adapters).
bool NoCounters(int error) { return error == ENOTTY || error == EINVAL; }

using Outcome = TransferResult::Outcome;

TransferResult Stopped(std::size_t count, Outcome outcome, int error = 0) { return {count, outcome, error}; }

}  // namespace

SerialPort::~SerialPort() { (void)Close(); }

PortStatus SerialPort::Open(const std::string& path) {
  (void)Close();
  UniqueFd fd(RetryInterrupted([&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }));
  if (!fd.Valid()) return FailedCall("open");
  // The lock comes first: an opener that is refused must not touch the holder's TIOCEXCL.
  if (RetryInterrupted([&] { return flock(fd.Get(), LOCK_EX | LOCK_NB); }) != 0) return FailedCall("flock");
  if (ioctl(fd.Get(), TIOCEXCL) != 0) return FailedCall("ioctl(TIOCEXCL)");

  m_fd = std::move(fd);
  KeepOpenPort(m_fd.Get());
  // Errors counted before this open belong to someone else.
  m_counters = ReadCounters(m_fd.Get()).counters;
  return std::nullopt;
}

PortStatus SerialPort::Configure(const LineSettings& settings) {
  termios wanted{};
  if (tcgetattr(m_fd.Get(), &wanted) != 0) return FailedCall("tcgetattr");
  if (!ApplyLineSettings(wanted, settings)) return SystemCallFailure{"termios (baud rate or data bits not offered)", EINVAL};
  // The C library answers EINVAL when the driver left out part of the settings, even where it
  // took the rest (a pseudo-terminal drops parity): what was read back decides.
  if (RetryInterrupted([&] { return tcsetattr(m_fd.Get(), TCSANOW, &wanted); }) != 0 && errno != EINVAL)
    return FailedCall("tcsetattr");

  termios got{};
  if (tcgetattr(m_fd.Get(), &got) != 0) return FailedCall("tcgetattr");
  if (!DriverTookSettings(wanted, got, IsPseudoTerminal(m_fd.Get())))
    return SystemCallFailure{"tcsetattr (the driver did not take the settings)", EINVAL};

  if (PortStatus failed = SetModemLines(settings)) return failed;
  m_settings = settings;
  return std::nullopt;
}

PortStatus SerialPort::SetModemLines(const LineSettings& settings) {
  // DTR handshake and RTS toggle have no modem-control equivalent here; the line is raised
  // instead (RTS handshake is CRTSCTS, set with the line settings).
  const bool dtrOn = settings.dtr != DtrControl::Disable;
  const bool rtsOn = settings.rts != RtsControl::Disable;
  for (const auto& [line, on] : {std::pair{TIOCM_DTR, dtrOn}, std::pair{TIOCM_RTS, rtsOn}}) {
    int bits = line;
    const unsigned long request = on ? TIOCMBIS : TIOCMBIC;
    if (RetryInterrupted([&] { return ioctl(m_fd.Get(), request, &bits); }) == 0) continue;
    // A tty without modem-control lines (a pseudo-terminal) has nothing to set.
    if (errno == ENOTTY || errno == EINVAL) continue;
    return FailedCall(on ? "ioctl(TIOCMBIS)" : "ioctl(TIOCMBIC)");
  }
  return std::nullopt;
}

PortStatus SerialPort::Purge() {
  if (RetryInterrupted([&] { return tcflush(m_fd.Get(), TCIOFLUSH); }) != 0) return FailedCall("tcflush");
  return std::nullopt;
}

PortStatus SerialPort::Drain(std::chrono::microseconds quiet, std::chrono::milliseconds limit) {
  if (PortStatus failed = Purge()) return failed;
  const Clock::time_point end = Clock::now() + limit;
  std::array<std::uint8_t, 256> discarded{};
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (now >= end) return std::nullopt;
    if (WaitFor(m_fd.Get(), POLLIN, std::min<Clock::time_point>(now + quiet, end)).outcome != WaitOutcome::Ready)
      return std::nullopt;
    const ssize_t got = ::read(m_fd.Get(), discarded.data(), discarded.size());
    // A line that gives nothing more (hung up, failed) is as quiet as it gets; the next read
    // reports why.
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) return std::nullopt;
  }
}

LineErrorResult SerialPort::TakeLineErrors() {
  const CounterReading reading = ReadCounters(m_fd.Get());
  if (reading.error != 0) {
    if (NoCounters(reading.error)) return {};
    return {0, SystemCallFailure{"ioctl(TIOCGICOUNT)", reading.error}};
  }
  const std::uint16_t flags = LineErrorFlags(m_counters, reading.counters);
  m_counters = reading.counters;
  return {flags, std::nullopt};
}

TransferResult SerialPort::Read(std::span<std::uint8_t> into, ReadLimits limits) {
  const Clock::time_point end = Clock::now() + limits.total;
  std::size_t count = 0;
  for (bool first = true; count < into.size(); first = false) {
    // The bound holds even on a line that poll calls readable and that yields nothing.
    if (!first && Clock::now() >= end) return Stopped(count, Outcome::TimedOut);
    const Wait wait = WaitFor(m_fd.Get(), POLLIN, std::min(Clock::now() + limits.perWait, end));
    if (wait.outcome == WaitOutcome::TimedOut) return Stopped(count, Outcome::TimedOut);
    if (wait.outcome == WaitOutcome::Failed) return Stopped(count, Outcome::WaitFailed, wait.error);

    const std::span<std::uint8_t> rest = into.subspan(count);
    const ssize_t got = ::read(m_fd.Get(), rest.data(), rest.size());
    if (got > 0) {
      count += static_cast<std::size_t>(got);
    } else if (got == 0) {
      // Readable yet empty: the other end hung up, and every further wait would return at once.
      return Stopped(count, Outcome::LineClosed);
    } else if (errno != EINTR && errno != EAGAIN) {
      return Stopped(count, Outcome::CallFailed, errno);
    }
  }
  return Stopped(count, Outcome::Complete);
}

TransferResult SerialPort::Write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds limit) {
  const Clock::time_point end = Clock::now() + limit;
  std::size_t count = 0;
  while (count < bytes.size()) {
    const std::span<const std::uint8_t> rest = bytes.subspan(count);
    const ssize_t sent = ::write(m_fd.Get(), rest.data(), rest.size());
    if (sent > 0) {
      count += static_cast<std::size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && errno != EAGAIN) return Stopped(count, Outcome::CallFailed, errno);

    // The driver's buffer is full: wait until it takes more or the time is up.
    const Wait wait = WaitFor(m_fd.Get(), POLLOUT, end);
    if (wait.outcome == WaitOutcome::TimedOut) return Stopped(count, Outcome::TimedOut);
    if (wait.outcome == WaitOutcome::Failed) return Stopped(count, Outcome::WaitFailed, wait.error);
  }
  return Stopped(count, Outcome::Complete);
}

PortStatus SerialPort::Close() {
  if (!m_fd.Valid()) return std::nullopt;
  ForgetOpenPort(m_fd.Get());
  // On a pseudo-terminal TIOCEXCL outlives the descriptor; left set, it refuses the next opener.
  ioctl(m_fd.Get(), TIOCNXCL);
  if (const int error = m_fd.Close(); error != 0) return SystemCallFailure{"close", error};
  return std::nullopt;
}

void ReleaseExclusivePorts() {
  const std::lock_guard lock(g_openPortsMutex);
  for (const int fd : g_openPorts) ioctl(fd, TIOCNXCL);
}

}  // namespace fennec::platform
