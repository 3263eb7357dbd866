#pragma once

#include <termios.h>

#include "Platform/LineSettings.h"

namespace fennec::platform {

// Raw mode (no echo, no signals, no character translation, no software flow control; reads
// return at once, poll does the waiting) plus the line settings. False, with nothing
// changed, when termios cannot express the baud rate or the number of data bits.
// DSR flow control and the DTR/RTS modes are not termios matters: the modem-control lines
// are set apart, and DSR flow control has no equivalent on this platform.
bool ApplyLineSettings(termios& attributes, const LineSettings& settings);

// The line settings a termios holds. CRTSCTS reads as CTS flow control; DSR flow control and
// the DTR/RTS modes read as off. An unknown speed reads as baud rate 0.
LineSettings LineSettingsOf(const termios& attributes);

}  // namespace fennec::platform
