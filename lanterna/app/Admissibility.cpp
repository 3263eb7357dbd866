#include "app/Admissibility.h"

#include <algorithm>
#include <cstdio>

#include "Platform/TextCase.h"
#include "base/OrderNumber.h"
#include "base/TextFormat.h"

namespace lanterna {

namespace {

constexpr const char* kIndent = "    ";

std::string Section(const tIdentification& identification) {
  return COrderNumber(identification.orderNumber).Text(COrderNumber::Form::FourDigit);
}

bool Contains(const std::vector<std::string>& keys, std::string_view key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

OrderNumberVerdict CheckOrderNumber(const CIniFile& ini, const tIdentification& identification) {
  OrderNumberVerdict verdict;
  verdict.logLines.push_back(kIndent + FormatText("Check article number '%s' ...", {identification.orderNumber}));

  const std::string section = Section(identification);
  const int fbc = ini.GetInt(section, "FBC", -1);
  const int pfc = ini.GetInt(section, "PFC", -1);
  if ((fbc == 16 || fbc == 32) && pfc == 0) {
    verdict.passed = true;
    verdict.is32 = fbc == 32;
  } else if (fbc == 0 && (pfc == 16 || pfc == 32)) {
    verdict.passed = true;
    verdict.is32 = pfc == 32;
    verdict.isPFC = 1;
  } else if (fbc == -1 || pfc == -1) {
    verdict.passed = fennec::EqualNoCase(identification.networkIdKind, "MAC-ID");
    if (verdict.passed) {
      verdict.is32 = identification.clockFlag;
      const std::string family = COrderNumber(identification.orderNumber).Part(1, COrderNumber::Form::ThreeDigit);
      verdict.isPFC = family.starts_with('8');
    }
  }

  if (!verdict.passed)
    verdict.message = std::string("Inadmissible FBC!") + "\n\n" +
                      "The connected device does not seem to be a ORLA Ethernet device.\n"
                      "It is not possible to parameterize it with ORLA Lanterna!";
  verdict.logLines.push_back(kIndent + FormatText(verdict.passed ? "Article number '%s' is admissible"
                                                                 : " Article number '%s' is not admissible!",
                                                  {identification.orderNumber}));
  return verdict;
}

Verdict CheckFirmware(const CIniFile& ini, const tIdentification& identification) {
  Verdict verdict;
  const std::string& version = identification.softwareVersion;
  verdict.logLines.push_back(kIndent + FormatText("Check firmware version '%s' ...", {version}));

  const std::string minimum = ini.GetString(Section(identification), "Version", "00.00.00(00)", 12);
  verdict.passed = !minimum.empty() && fennec::ToLower(minimum) <= fennec::ToLower(version);

  if (!verdict.passed)
    verdict.message = std::string("Inadmissible firmware!") + "\n\n" +
                      FormatText("The fieldbus coupler has version '%s'.\r\n\r\nFor the adjustment of the "
                                 "ethernet parameters \r\nversion '%s' or  higher is necessary.",
                                 {version, minimum});
  verdict.logLines.push_back(kIndent + FormatText(verdict.passed ? "Firmware version '%s' is admissible"
                                                                 : "Firmware version '%s' is not admissible!",
                                                  {version}));
  return verdict;
}

std::vector<std::string> DevicePageKeys(const CIniFile& ini, const tIdentification& identification) {
  const std::string section = Section(identification);
  const bool clock = identification.clockFlag != 0;
  std::vector<std::string> keys = {"COMMON"};
  auto append = [&](const std::string& key) {
    if (key != "CLOCK" || clock) keys.push_back(key);
  };

  for (int n = 0;; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "PAGE%02d", n);
    const std::string value = ini.GetString(section, name, "EOL", 63);
    if (value == "EOL") break;
    if (value == "ALL") {
      for (const char* key : kAllPageKeys) append(key);
      break;
    }
    const bool known = std::any_of(std::begin(kAllPageKeys), std::end(kAllPageKeys),
                                   [&value](const char* key) { return value == key; });
    if (known) append(value);
  }

  if (keys.size() == 1)
    for (const char* key : {"TCPIP", "NETWORK", "CLOCK"}) append(key);
  return keys;
}

std::vector<std::string> ShownPageKeys(const std::vector<std::string>& deviceKeys, std::uint32_t is32,
                                       std::uint32_t isPFC) {
  std::vector<std::string> shown;
  for (const std::string& key : deviceKeys) {
    if (is32) {
      if (key == "PFC" && !isPFC) continue;
    } else if (key != "COMMON" && key != "TCPIP" && key != "MODBUS" && key != "PROTOCOL") {
      continue;
    }
    if (!Contains(shown, key)) shown.push_back(key);
  }
  return shown;
}

}  // namespace lanterna
