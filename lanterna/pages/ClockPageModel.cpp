#include "pages/ClockPageModel.h"

#include <cstdio>

#include "Platform/LastError.h"

namespace lanterna {

namespace {

std::string WithLastError(const char* format) {
  char text[128];
  std::snprintf(text, sizeof text, format, fennec::platform::GetThreadLastError());
  return text;
}

}  // namespace

CClockPageModel::CClockPageModel() : CCouplerSettingsPageModel("CLOCK") {}

CClockPageModel::DeviceRefresh CClockPageModel::RefreshDevice(CServiceDeviceClock& clock) {
  if (!m_bInteractive) return {};
  std::uint32_t seconds = 0;
  std::uint16_t zoneWord = 0;
  if (!clock.GetRealTimeClock(seconds, zoneWord)) {
    m_bInteractive = false;
    return {std::nullopt, WithLastError("Error: RTC settings not read! (0x%08X)")};
  }
  return {MakeDeviceClockView(seconds, zoneWord), "Only timezone included!"};
}

PcClockView CClockPageModel::ReadPcClock() {
  const std::int64_t now = fennec::platform::CalendarTimeNow();
  std::tm local{};
  fennec::platform::LocalTime(now, local);
  return MakePcClockView(now, local, fennec::platform::CurrentTimeZone());
}

std::optional<std::string> CClockPageModel::Synchronise(CServiceDeviceClock& clock, std::int64_t now,
                                                        const fennec::platform::TimeZoneInfo& zone) {
  if (clock.SetRealTimeClock(static_cast<std::uint32_t>(now), ZoneWordOf(zone))) return std::nullopt;
  return WithLastError("Synchronizing Real Time Clock failed!\nErrorcode: 0x%08X");
}

std::optional<std::string> CClockPageModel::WriteUtc(CServiceDeviceClock& clock,
                                                     std::chrono::sys_time<std::chrono::milliseconds> moment) {
  const std::optional<std::uint32_t> seconds = DeviceSecondsOf(moment);
  if (!seconds) return "Writing UTC failed!\nThe device's clock counts from 1970-01-01 to 2106-02-07.";
  std::uint32_t present = 0;
  std::uint16_t zoneWord = 0;
  if (clock.GetRealTimeClock(present, zoneWord) && clock.SetRealTimeClock(*seconds, zoneWord)) return std::nullopt;
  return WithLastError("Writing UTC failed!\nErrorcode: 0x%08X");
}

std::optional<std::string> CClockPageModel::WriteTimeZone(CServiceDeviceClock& clock, int offset) {
  if (ZoneIndex(offset) < 0) return "Writing time zone failed!\nThe time zone lies between UTC -12:00 and UTC +12:00.";
  std::uint32_t seconds = 0;
  std::uint16_t presentZone = 0;
  if (clock.GetRealTimeClock(seconds, presentZone) &&
      clock.SetRealTimeClock(seconds, static_cast<std::uint16_t>(offset)))
    return std::nullopt;
  return WithLastError("Writing time zone failed!\nErrorcode: 0x%08X");
}

}  // namespace lanterna
