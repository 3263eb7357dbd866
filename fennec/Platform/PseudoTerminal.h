#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Common/Export.h"
#include "Platform/LineSettings.h"
#include "Platform/UniqueFd.h"

namespace fennec::platform {

// A pseudo-terminal pair in raw mode that stands in for a serial line: a program opens the
// slave by its path as it would open a port, and whoever holds this object plays the device
// on the master side. The slave is not kept open here, so the opener is its only user.
class FENNEC_API PseudoTerminal {
 public:
  // How the slave starts: raw, so that nothing sent before the opener configures the line is
  // echoed or translated, or cooked as a terminal starts, to prove that the opener sets raw mode.
  enum class Start { Raw, Cooked };

  // Throws std::system_error when the system has no pseudo-terminal to give.
  explicit PseudoTerminal(Start start = Start::Raw);
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }

  // Sends bytes to the slave's reader; false when the master is closed, the write fails or
  // the slave side takes nothing for five seconds.
  bool Send(std::span<const std::uint8_t> bytes);
  // What the slave's writer sent: up to count bytes, as many as arrive within the limit.
  std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds limit);
  // The line settings the slave's user configured (a pseudo-terminal keeps 8 data bits and
  // no parity whatever it is told; speed, stop bits and flow control it keeps).
  LineSettings SlaveLineSettings() const;
  // Closes the master: the slave side hangs up.
  void CloseMaster();

 private:
  UniqueFd m_master;
  std::string m_slavePath;
};

}  // namespace fennec::platform
