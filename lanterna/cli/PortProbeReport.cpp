#include "cli/PortProbeReport.h"

#include <algorithm>
#include <stdexcept>

#include "cli/FailureReport.h"

namespace lanterna::cli {

namespace {

const char* OutcomeName(PortProbe::Outcome outcome) {
  switch (outcome) {
    case PortProbe::Outcome::Device: return "device";
    case PortProbe::Outcome::Refused: return "refused";
    case PortProbe::Outcome::Silent: return "silent";
  }
  return "";
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::string ProbeLine(const PortProbe& probe) {
  std::string line = probe.port;
  line.resize(std::max<std::size_t>(line.size(), 12), ' ');
  switch (probe.outcome) {
    case PortProbe::Outcome::Device: return line + " " + probe.orderNumber + ", " + probe.description;
    case PortProbe::Outcome::Refused:
      return line + " refused (" + HexCode(probe.code) + ")" + (probe.advice.empty() ? "" : ": " + FirstLine(probe.advice));
    case PortProbe::Outcome::Silent: return line + " silent: no device answered";
  }
  return line;
}

Json ProbeJson(const PortProbe& probe) {
  return Json{{"name", probe.port},
              {"outcome", OutcomeName(probe.outcome)},
              {"order_number", probe.orderNumber},
              {"description", probe.description},
              {"code", probe.code == 0 ? Json() : Json(HexCode(probe.code))},
              {"advice", probe.advice}};
}

std::string OnlyPortWithADevice(const std::vector<PortProbe>& probes) {
  const auto devices = std::count_if(probes.begin(), probes.end(),
                                     [](const PortProbe& probe) { return probe.outcome == PortProbe::Outcome::Device; });
  if (devices == 1)
    return std::find_if(probes.begin(), probes.end(),
                        [](const PortProbe& probe) { return probe.outcome == PortProbe::Outcome::Device; })->port;
  std::string text = devices == 0 ? "--connection auto found no port with a device"
                                  : "--connection auto found a device on more than one port; choose one with --connection RS232:<port>";
  for (const PortProbe& probe : probes) text += "\n  " + ProbeLine(probe);
  throw std::runtime_error(text);
}

}  // namespace lanterna::cli
