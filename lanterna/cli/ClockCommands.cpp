// clock: the Clock page's display, its synchronise button and its UTC and time-zone fields.
#include <algorithm>
#include <iostream>

#include "cli/ClockInput.h"
#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "pages/ServiceDeviceClock.h"

namespace lanterna::cli {

namespace {

constexpr const char* kUsage = "clock [sync | set UTC-TIME | zone HOURS]";

// What the command is asked to do, checked before anything is sent.
struct ClockRequest {
  enum class Kind { Show, Sync, SetUtc, SetZone } kind = Kind::Show;
  std::chrono::sys_seconds utc{};
  int zone = 0;
};

ClockRequest ParseRequest(const std::vector<std::string>& operands) {
  if (operands.empty()) return {};
  const std::string& verb = operands[0];
  if (verb == "sync" && operands.size() == 1) return {ClockRequest::Kind::Sync};
  if (verb == "set" && (operands.size() == 2 || operands.size() == 3)) {
    const std::string text = operands.size() == 2 ? operands[1] : operands[1] + " " + operands[2];
    const auto moment = ParseUtcTime(text);
    if (!moment) throw CBadInput("'" + text + "' is not a UTC time of the form 2024-05-01T13:00:00");
    if (!DeviceSecondsOf(*moment))
      throw CBadInput("Writing UTC failed!\nThe device's clock counts from 1970-01-01 to 2106-02-07.");
    return {ClockRequest::Kind::SetUtc, *moment};
  }
  if (verb == "zone" && operands.size() == 2) {
    const auto hours = ParseZoneHours(operands[1]);
    if (!hours || ZoneIndex(*hours) < 0)
      throw CBadInput("the time zone is a whole number of hours from -12 to 12, not '" + operands[1] + "'");
    return {ClockRequest::Kind::SetZone, {}, *hours};
  }
  throw CBadInput(std::string("usage: lanterna-cli ") + kUsage);
}

std::optional<std::string> Perform(CClockPageModel& page, CServiceDeviceClock& clock, const ClockRequest& request) {
  switch (request.kind) {
    case ClockRequest::Kind::Show: return std::nullopt;
    case ClockRequest::Kind::Sync:
      return page.Synchronise(clock, fennec::platform::CalendarTimeNow(), fennec::platform::CurrentTimeZone());
    case ClockRequest::Kind::SetUtc: return page.WriteUtc(clock, request.utc);
    case ClockRequest::Kind::SetZone: return page.WriteTimeZone(clock, request.zone);
  }
  return std::nullopt;
}

std::string ZoneText(int zoneIndex) {
  if (zoneIndex < 0) return "(not in the list)";
  return std::string(kTimeZones[static_cast<std::size_t>(zoneIndex)].text).substr(1);
}

void PrintRow(const char* label, const std::string& value) {
  std::string padded = label;
  padded.resize(std::max<std::size_t>(padded.size(), 16), ' ');
  std::cout << "  " << padded << value << "\n";
}

void PrintText(const DeviceClockView& device, const std::string& note, const PcClockView& pc) {
  std::cout << "Device\n";
  PrintRow("Date", device.localDate);
  PrintRow("Time", device.localTime);
  PrintRow("DST", note);
  PrintRow("Time zone", ZoneText(device.zoneIndex));
  PrintRow("UTC", DateText(device.utc) + " " + TimeText(device.utc));
  std::cout << "PC\n";
  PrintRow("Date", pc.date);
  PrintRow("Time", pc.time);
  PrintRow("DST", pc.dstText);
  PrintRow("Time zone", pc.zoneText);
  PrintRow("Time zone name", pc.zoneName);
  PrintRow("UTC", pc.utcTime);
}

void PrintJson(const DeviceClockView& device, const std::string& note, const PcClockView& pc) {
  const Json zone = device.zoneIndex < 0 ? Json() : Json(kTimeZones[static_cast<std::size_t>(device.zoneIndex)].offset);
  const Json object{{"device",
                     {{"date", device.localDate},
                      {"time", device.localTime},
                      {"dst", note},
                      {"time_zone", zone},
                      {"utc", DateText(device.utc) + "T" + TimeText(device.utc) + "Z"}}},
                    {"pc",
                     {{"date", pc.date},
                      {"time", pc.time},
                      {"dst", pc.daylight},
                      {"time_zone", pc.zoneText},
                      {"time_zone_name", pc.zoneName},
                      {"utc_time", pc.utcTime}}}};
  PrintJsonSuccess(object);
}

}  // namespace

int RunClock(const CliOptions& options) {
  const ClockRequest request = ParseRequest(options.operands);
  CDeviceSession session(options);
  if (auto failed = ReadFirst(session, options)) return *failed;
  const auto& pages = session.Data().ShownPageKeys();
  if (std::find(pages.begin(), pages.end(), "CLOCK") == pages.end())
    throw CBadInput("the connected device has no Clock page: its clock could not be read");

  // The page keeps the port open while it is shown.
  CProgramSession& program = session.Program();
  if (!program.OpenPort()) {
    return DirectFailed(session, options, "Opening the port failed!");
  }
  CServiceDeviceClock clock = program.Clock();
  CClockPageModel& page = session.Pages().Clock();
  if (const auto failure = Perform(page, clock, request)) {
    return DirectFailed(session, options, *failure,
                        {"", 0, 0, request.kind == ClockRequest::Kind::Sync ? "SetRealTimeClock" : "GetRealTimeClock"});
  }
  const CClockPageModel::DeviceRefresh refresh = page.RefreshDevice(clock);
  program.ClosePort();
  if (!refresh.view) {
    return DirectFailed(session, options, refresh.note, {"", 0, 0, "GetRealTimeClock"});
  }
  // What the device holds now, read back after the change.
  if (request.kind != ClockRequest::Kind::Show)
    std::cerr << "The device's clock is set: UTC " << DateText(refresh.view->utc) << " " << TimeText(refresh.view->utc)
              << ", time zone " << ZoneText(refresh.view->zoneIndex) << ".\n";
  const PcClockView pc = CClockPageModel::ReadPcClock();
  if (options.json)
    PrintJson(*refresh.view, refresh.note, pc);
  else
    PrintText(*refresh.view, refresh.note, pc);
  return kExitSuccess;
}

}  // namespace lanterna::cli
