#include "Platform/LineErrors.h"

namespace fennec::platform {

std::uint16_t LineErrorFlags(const LineCounters& before, const LineCounters& now) {
  std::uint16_t flags = 0;
  if (now.bufferOverrun != before.bufferOverrun) flags |= kLineErrorReceiveOverflow;
  if (now.overrun != before.overrun) flags |= kLineErrorOverrun;
  if (now.parity != before.parity) flags |= kLineErrorParity;
  if (now.framing != before.framing) flags |= kLineErrorFraming;
  if (now.breaks != before.breaks) flags |= kLineErrorBreak;
  return flags;
}

}  // namespace fennec::platform
