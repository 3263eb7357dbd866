#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "Platform/Time.h"

namespace lanterna {

// The time zones a device can hold: whole hours from UTC -12:00 to UTC +12:00.
struct TimeZoneEntry {
  const char* text;
  int offset;
};
extern const std::array<TimeZoneEntry, 25> kTimeZones;

// The device's time-zone word is a signed offset in hours (two's complement).
int ZoneOffset(std::uint16_t word);
// Index of the entry with this offset, -1 for none.
int ZoneIndex(int offset);

struct CalendarTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  bool operator==(const CalendarTime&) const = default;
};
CalendarTime SplitSeconds(std::int64_t secondsSince1970);
std::string TimeText(const CalendarTime& time);  // "%02d:%02d:%02d"
std::string DateText(const CalendarTime& time);  // "%04d-%02d-%02d"

// The device side of the clock: UTC as the device keeps it and local time by its zone word.
// The device applies no daylight saving.
struct DeviceClockView {
  CalendarTime utc;
  std::string localDate;
  std::string localTime;
  int zoneIndex = -1;
};
DeviceClockView MakeDeviceClockView(std::uint32_t utcSeconds, std::uint16_t zoneWord);

// The PC side: its local date and time, daylight-saving state, standard zone and UTC.
struct PcClockView {
  std::string date;
  std::string time;
  bool daylight = false;
  std::string dstText;   // "ACTIVATED" or "NOT ACTIVATED"
  std::string zoneText;  // "UTC", "UTC+01:00", ...
  std::string zoneName;
  std::string utcTime;
};
PcClockView MakePcClockView(std::int64_t now, const std::tm& local, const fennec::platform::TimeZoneInfo& zone);

// The PC's standard zone in whole hours (truncated), as the device's zone word; daylight
// saving is not included.
std::uint16_t ZoneWordOf(const fennec::platform::TimeZoneInfo& zone);

// A UTC moment as the device's seconds, rounded to the nearest second (halves away from
// 1970); nothing for a moment the device's 32-bit count cannot hold.
std::optional<std::uint32_t> DeviceSecondsOf(std::chrono::sys_time<std::chrono::milliseconds> moment);

}  // namespace lanterna
