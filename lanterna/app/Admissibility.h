#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/IniFile.h"
#include "base/Identification.h"

namespace lanterna {

// Page keys, as the INI's "PAGE%02d" entries name them.
inline constexpr const char* kAllPageKeys[] = {"TCPIP", "NETWORK", "CLOCK", "MODBUS", "PROTOCOL",
                                               "TRAFFIC", "SNTP", "ETHERNETIP", "PFC"};

struct Verdict {
  bool passed = false;
  std::vector<std::string> logLines;   // indented by four blanks
  std::optional<std::string> message;  // the message box a failed check shows
};

struct OrderNumberVerdict : Verdict {
  std::uint32_t is32 = 0;
  std::uint32_t isPFC = 0;
};

// Is the device one of ours? Decided by the "FBC"/"PFC" keys of its order-number section, or by
// its network identity kind when the section does not say.
OrderNumberVerdict CheckOrderNumber(const CIniFile& ini, const tIdentification& identification);

// Is its firmware at least the section's "Version"?
Verdict CheckFirmware(const CIniFile& ini, const tIdentification& identification);

// The device's page keys: "COMMON", then its "PAGE%02d" entries ("ALL" for every page), with
// "CLOCK" only when its clock was read; without entries the default pages.
std::vector<std::string> DevicePageKeys(const CIniFile& ini, const tIdentification& identification);

// Which of the device's pages are shown for a device of this generation and kind.
std::vector<std::string> ShownPageKeys(const std::vector<std::string>& deviceKeys, std::uint32_t is32,
                                       std::uint32_t isPFC);

}  // namespace lanterna
