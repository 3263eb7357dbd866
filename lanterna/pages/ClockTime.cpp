#include "pages/ClockTime.h"

#include <cstdio>
#include <limits>

namespace lanterna {

using namespace std::chrono;

namespace {

// A negative offset keeps printf's width of two with its sign: -5 shows as "UTC-5:00".
std::string UtcOffsetText(int hours) {
  if (hours == 0) return "UTC";
  char text[32];
  if (hours > 0)
    std::snprintf(text, sizeof text, "UTC+%02d:00", hours);
  else
    std::snprintf(text, sizeof text, "UTC%02d:00", hours);
  return text;
}

}  // namespace

const std::array<TimeZoneEntry, 25> kTimeZones = {{
    {" UTC -12:00", -12}, {" UTC -11:00", -11}, {" UTC -10:00", -10}, {" UTC -09:00", -9}, {" UTC -08:00", -8},
    {" UTC -07:00", -7},  {" UTC -06:00", -6},  {" UTC -05:00", -5},  {" UTC -04:00", -4}, {" UTC -03:00", -3},
    {" UTC -02:00", -2},  {" UTC -01:00", -1},  {" UTC", 0},          {" UTC +01:00", 1},  {" UTC +02:00", 2},
    {" UTC +03:00", 3},   {" UTC +04:00", 4},   {" UTC +05:00", 5},   {" UTC +06:00", 6},  {" UTC +07:00", 7},
    {" UTC +08:00", 8},   {" UTC +09:00", 9},   {" UTC +10:00", 10},  {" UTC +11:00", 11}, {" UTC +12:00", 12},
}};

int ZoneOffset(std::uint16_t word) { return static_cast<std::int16_t>(word); }

int ZoneIndex(int offset) {
  for (std::size_t i = 0; i < kTimeZones.size(); ++i)
    if (kTimeZones[i].offset == offset) return static_cast<int>(i);
  return -1;
}

CalendarTime SplitSeconds(std::int64_t secondsSince1970) {
  const sys_seconds moment{seconds{secondsSince1970}};
  const sys_days day = floor<days>(moment);
  const year_month_day date{day};
  const hh_mm_ss time{moment - day};
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
          static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count())};
}

std::string TimeText(const CalendarTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
  return text;
}

std::string DateText(const CalendarTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
  return text;
}

DeviceClockView MakeDeviceClockView(std::uint32_t utcSeconds, std::uint16_t zoneWord) {
  const int offset = ZoneOffset(zoneWord);
  const CalendarTime local = SplitSeconds(std::int64_t{utcSeconds} + offset * 3600);
  return {SplitSeconds(utcSeconds), DateText(local), TimeText(local), ZoneIndex(offset)};
}

PcClockView MakePcClockView(std::int64_t now, const std::tm& local, const fennec::platform::TimeZoneInfo& zone) {
  PcClockView view;
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  view.date = text;
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  view.time = text;
  view.daylight = zone.daylight;
  view.dstText = zone.daylight ? "ACTIVATED" : "NOT ACTIVATED";
  view.zoneText = UtcOffsetText(-zone.biasSeconds / 3600);
  view.zoneName = zone.daylightName.empty() ? "Timezone not named!" : zone.daylightName;
  view.utcTime = TimeText(SplitSeconds(now));
  return view;
}

std::uint16_t ZoneWordOf(const fennec::platform::TimeZoneInfo& zone) {
  return static_cast<std::uint16_t>(-zone.biasSeconds / 3600);
}

std::optional<std::uint32_t> DeviceSecondsOf(sys_time<milliseconds> moment) {
  const milliseconds span = moment.time_since_epoch();
  // The span a date-time value can hold at all; beyond it the moment is not a date.
  constexpr milliseconds kMaxSpan = days{3615897};
  if (span > kMaxSpan || span < -kMaxSpan) return std::nullopt;
  const milliseconds half{span < milliseconds::zero() ? -500 : 500};
  const std::int64_t secondsSince1970 = duration_cast<seconds>(span + half).count();
  // The device counts in 32 bits from 1970: earlier or much later moments cannot be set.
  if (secondsSince1970 < 0 || secondsSince1970 > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(secondsSince1970);
}

}  // namespace lanterna
