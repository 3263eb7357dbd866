#include "Platform/TermiosSettings.h"

#include <algorithm>
#include <array>
#include <optional>

namespace fennec::platform {

namespace {

struct Speed {
  std::uint32_t baudRate;
  speed_t code;
};

// Every rate termios offers. Rates of other platforms (14400, 28800, 56000, 128000, 256000)
// have no code here and are refused.
constexpr std::array<Speed, 30> kSpeeds = {{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

std::optional<speed_t> SpeedCode(std::uint32_t baudRate) {
  const auto found = std::find_if(kSpeeds.begin(), kSpeeds.end(), [&](const Speed& s) { return s.baudRate == baudRate; });
  if (found == kSpeeds.end()) return std::nullopt;
  return found->code;
}

std::optional<tcflag_t> SizeFlag(std::uint16_t dataBits) {
  switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    case 8: return CS8;
    default: return std::nullopt;
  }
}

tcflag_t ParityFlags(Parity parity) {
  switch (parity) {
    case Parity::Odd: return PARENB | PARODD;
    case Parity::Even: return PARENB;
    case Parity::Mark: return PARENB | CMSPAR | PARODD;  // stick parity: always 1
    case Parity::Space: return PARENB | CMSPAR;          // stick parity: always 0
    case Parity::None: break;
  }
  return 0;
}

void MakeRaw(termios& attributes) {
  attributes.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                                IXOFF | IXANY | IGNPAR | INPCK);
  attributes.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  attributes.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  attributes.c_cc[VMIN] = 0;
  attributes.c_cc[VTIME] = 0;
}

}  // namespace

bool ApplyLineSettings(termios& attributes, const LineSettings& settings) {
  const std::optional<speed_t> speed = SpeedCode(settings.baudRate);
  const std::optional<tcflag_t> size = SizeFlag(settings.dataBits);
  if (!speed || !size) return false;

  MakeRaw(attributes);
  attributes.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  attributes.c_cflag |= CLOCAL | CREAD | *size | ParityFlags(settings.parity);
  // Check the parity of received bytes, as the device-control block always asks; a bad byte
  // is passed on and counted as a line error.
  if (settings.parity != Parity::None) attributes.c_iflag |= INPCK;
  // This platform has no 1.5 stop bits: they fall back to 2.
  if (settings.stopBits != StopBits::One) attributes.c_cflag |= CSTOPB;
  // CRTSCTS couples both directions: CTS gates sending and RTS signals readiness to receive.
  if (settings.ctsFlow || settings.rts == RtsControl::Handshake) attributes.c_cflag |= CRTSCTS;
  cfsetispeed(&attributes, *speed);
  cfsetospeed(&attributes, *speed);
  return true;
}

LineSettings LineSettingsOf(const termios& attributes) {
  LineSettings settings;
  const speed_t speed = cfgetospeed(&attributes);
  const auto found = std::find_if(kSpeeds.begin(), kSpeeds.end(), [&](const Speed& s) { return s.code == speed; });
  settings.baudRate = found == kSpeeds.end() ? 0 : found->baudRate;

  switch (attributes.c_cflag & CSIZE) {
    case CS5: settings.dataBits = 5; break;
    case CS6: settings.dataBits = 6; break;
    case CS7: settings.dataBits = 7; break;
    default: settings.dataBits = 8; break;
  }

  const tcflag_t flags = attributes.c_cflag;
  if ((flags & PARENB) == 0)
    settings.parity = Parity::None;
  else if ((flags & CMSPAR) != 0)
    settings.parity = (flags & PARODD) != 0 ? Parity::Mark : Parity::Space;
  else
    settings.parity = (flags & PARODD) != 0 ? Parity::Odd : Parity::Even;

  settings.stopBits = (flags & CSTOPB) != 0 ? StopBits::Two : StopBits::One;
  settings.ctsFlow = (flags & CRTSCTS) != 0;
  return settings;
}

}  // namespace fennec::platform
