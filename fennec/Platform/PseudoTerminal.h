#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Platform/ByteLine.h"
#include "Platform/LineSettings.h"

namespace fennec::platform {

// A pseudo-terminal pair that stands in for a serial line: a program opens the slave by its
// path as it would open a port, and whoever holds this object plays the device on the master.
class PseudoTerminal {
 public:
  // How the slave starts: raw, so that nothing sent before the opener configures the line is
  // echoed or translated, or cooked as a terminal starts, to prove that the opener sets raw mode.
  enum class Start { Raw, Cooked };
  // Free: the opener is the slave's only user. Held: the slave is kept open here as well, so
  // that the master sees no hang-up each time a client closes its port (a device that serves
  // one client after another), and the bytes a client has not read yet can be counted.
  enum class Slave { Free, Held };

  // Throws std::system_error when the system has no pseudo-terminal to give.
  explicit PseudoTerminal(Start start = Start::Raw, Slave slave = Slave::Free);
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }
  ByteLine& Master() { return m_master; }

  // Sends bytes to the slave's reader; false when the master is closed, the write fails or
  // the slave side has not taken them all within five seconds.
  bool Send(std::span<const std::uint8_t> bytes);
  // What the slave's writer sent: up to count bytes, as many as arrive within the limit.
  std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds limit);
  // The line settings the slave's user configured (a pseudo-terminal keeps 8 data bits and
  // no parity whatever it is told; speed, stop bits and flow control it keeps).
  LineSettings SlaveLineSettings() const;
  // Bytes sent to the slave that its users have not read yet; counted only on a held slave.
  std::size_t UnreadBySlave() const { return m_heldSlave.Pending(); }
  // The slave refuses new openers but root (TIOCEXCL set); known only on a held slave.
  bool SlaveIsExclusive() const;

  // A client that took the slave for itself (TIOCEXCL) and ended without giving it back, killed
  // say, leaves the flag on a held slave, and every later opener but root is refused. Once no
  // client holds the slave's lock any more (a client that takes the slave takes its lock too,
  // as the serial port does), clears the flag. True when it did.
  bool ReleaseAbandonedSlave();

  // Closes the master and a held slave, as if the cable were pulled: the slave's users see a
  // hang-up, and whatever they have not read yet is lost.
  void Cut();

 private:
  ByteLine m_master;
  ByteLine m_heldSlave;
  std::string m_slavePath;
};

}  // namespace fennec::platform
