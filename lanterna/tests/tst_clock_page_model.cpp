#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "Platform/LastError.h"
#include "pages/ClockPageModel.h"

using namespace lanterna;
using namespace lanterna::test;
using namespace std::chrono;

namespace {

// The device's clock as the service would reach it; the service itself is not part of this
// build, so the clock is kept in memory.
struct MemoryClock : IDeviceClock {
  std::uint32_t seconds = 0;
  std::uint16_t zone = 0;
  bool failRead = false;
  bool failWrite = false;
  int reads = 0;
  int writes = 0;

  bool GetRealTimeClock(std::uint32_t& s, std::uint16_t& z) override {
    ++reads;
    if (failRead) return Fail();
    s = seconds;
    z = zone;
    return true;
  }
  bool SetRealTimeClock(std::uint32_t s, std::uint16_t z) override {
    ++writes;
    if (failWrite) return Fail();
    seconds = s;
    zone = z;
    return true;
  }
  static bool Fail() {
    fennec::platform::SetThreadLastError(0x20088212);
    return false;
  }
};

constexpr std::uint32_t k2024_03_10_12_30_05 = 1710073805;

fennec::platform::TimeZoneInfo Zone(std::int32_t bias, bool daylight, const char* name) {
  return {bias, daylight, name};
}

}  // namespace

TEST(ClockTime, TheZoneTableRunsFromMinus12ToPlus12) {
  EXPECT_STREQ(kTimeZones[0].text, " UTC -12:00");
  EXPECT_STREQ(kTimeZones[12].text, " UTC");
  EXPECT_EQ(kTimeZones[12].offset, 0);
  EXPECT_STREQ(kTimeZones[13].text, " UTC +01:00");
  EXPECT_EQ(kTimeZones[24].offset, 12);
  EXPECT_EQ(ZoneIndex(-5), 7);
  EXPECT_EQ(ZoneIndex(13), -1);
}

TEST(ClockTime, TheDeviceWordIsASignedOffset) {
  const DeviceClockView view = MakeDeviceClockView(k2024_03_10_12_30_05, 0xFFFB);
  EXPECT_EQ(view.utc, (CalendarTime{2024, 3, 10, 12, 30, 5}));
  EXPECT_EQ(view.localTime, "07:30:05");
  EXPECT_EQ(view.localDate, "2024-03-10");
  EXPECT_STREQ(kTimeZones[static_cast<std::size_t>(view.zoneIndex)].text, " UTC -05:00");

  const DeviceClockView outside = MakeDeviceClockView(k2024_03_10_12_30_05, 13);
  EXPECT_EQ(outside.zoneIndex, -1);
  EXPECT_EQ(outside.localTime, "01:30:05");
  EXPECT_EQ(outside.localDate, "2024-03-11");

  const DeviceClockView early = MakeDeviceClockView(3600, 0xFFF4);  // 01:00 UTC at -12 h
  EXPECT_EQ(early.localDate, "1969-12-31");
  EXPECT_EQ(early.localTime, "13:00:00");
}

TEST(ClockTime, ThePcSideShowsItsStandardZoneAndDaylightState) {
  std::tm local{};
  local.tm_year = 124;
  local.tm_mon = 6;
  local.tm_mday = 1;
  local.tm_hour = 14;
  local.tm_min = 5;
  local.tm_sec = 9;
  const PcClockView summer = MakePcClockView(1719835509, local, Zone(-3600, true, "CEST"));
  EXPECT_EQ(summer.date, "2024-07-01");
  EXPECT_EQ(summer.time, "14:05:09");
  EXPECT_EQ(summer.dstText, "ACTIVATED");
  EXPECT_EQ(summer.zoneText, "UTC+01:00");
  EXPECT_EQ(summer.zoneName, "CEST");
  EXPECT_EQ(summer.utcTime, "12:05:09");

  const PcClockView west = MakePcClockView(0, local, Zone(5 * 3600, false, ""));
  EXPECT_EQ(west.dstText, "NOT ACTIVATED");
  EXPECT_EQ(west.zoneText, "UTC-5:00");
  EXPECT_EQ(west.zoneName, "Timezone not named!");
  EXPECT_EQ(MakePcClockView(0, local, Zone(0, false, "UTC")).zoneText, "UTC");
  EXPECT_EQ(MakePcClockView(0, local, Zone(-19800, false, "IST")).zoneText, "UTC+05:00");  // truncated
}

TEST(ClockTime, AUtcMomentRoundsToTheNearestSecond) {
  const sys_time<milliseconds> base = sys_days{2024y / 3 / 10} + 12h + 30min + 5s;
  EXPECT_EQ(DeviceSecondsOf(base), k2024_03_10_12_30_05);
  EXPECT_EQ(DeviceSecondsOf(base + 499ms), k2024_03_10_12_30_05);
  EXPECT_EQ(DeviceSecondsOf(base + 500ms), k2024_03_10_12_30_05 + 1);
  EXPECT_EQ(DeviceSecondsOf(sys_time<milliseconds>{-499ms}), 0u);
  EXPECT_EQ(DeviceSecondsOf(sys_time<milliseconds>{-500ms}), std::nullopt);  // rounds to -1 s
  EXPECT_EQ(DeviceSecondsOf(sys_time<milliseconds>{4294967295s}), 4294967295u);
  EXPECT_EQ(DeviceSecondsOf(sys_time<milliseconds>{4294967296s}), std::nullopt);
  EXPECT_EQ(DeviceSecondsOf(sys_time<milliseconds>{milliseconds::max()}), std::nullopt);
  EXPECT_EQ(DeviceSecondsOf(sys_time<milliseconds>{milliseconds::min()}), std::nullopt);
}

TEST(ClockPage, RefreshShowsTheDeviceAndAFailedReadStopsFurtherReads) {
  MemoryClock clock;
  clock.seconds = k2024_03_10_12_30_05;
  clock.zone = 1;
  CClockPageModel page;
  const auto shown = page.RefreshDevice(clock);
  ASSERT_TRUE(shown.view);
  EXPECT_EQ(shown.view->localTime, "13:30:05");
  EXPECT_EQ(shown.note, "Only timezone included!");

  clock.failRead = true;
  const auto failed = page.RefreshDevice(clock);
  EXPECT_FALSE(failed.view);
  EXPECT_EQ(failed.note, "Error: RTC settings not read! (0x20088212)");
  EXPECT_FALSE(page.IsInteractive());
  clock.failRead = false;
  EXPECT_FALSE(page.RefreshDevice(clock).view);
  EXPECT_EQ(clock.reads, 2);

  page.SetInteractive(true);
  EXPECT_TRUE(page.RefreshDevice(clock).view);
}

TEST(ClockPage, SynchroniseWritesThePcTimeAndItsStandardZone) {
  MemoryClock clock;
  CClockPageModel page;
  EXPECT_FALSE(page.Synchronise(clock, k2024_03_10_12_30_05, Zone(-3600, true, "CEST")));
  EXPECT_EQ(clock.seconds, k2024_03_10_12_30_05);
  EXPECT_EQ(clock.zone, 1);  // daylight saving is not included
  EXPECT_FALSE(page.Synchronise(clock, 0x1'0000'0005, Zone(5 * 3600, false, "")));
  EXPECT_EQ(clock.seconds, 5u);  // the low 32 bits
  EXPECT_EQ(clock.zone, 0xFFFB);

  clock.failWrite = true;
  EXPECT_EQ(page.Synchronise(clock, 0, Zone(0, false, "")),
            "Synchronizing Real Time Clock failed!\nErrorcode: 0x20088212");
}

TEST(ClockPage, WritingTheUtcKeepsTheZoneAndWritingTheZoneKeepsTheUtc) {
  MemoryClock clock;
  clock.seconds = 1000;
  clock.zone = 0xFFFE;
  CClockPageModel page;
  EXPECT_FALSE(page.WriteUtc(clock, sys_days{2024y / 3 / 10} + 12h + 30min + 5s + 700ms));
  EXPECT_EQ(clock.seconds, k2024_03_10_12_30_05 + 1);
  EXPECT_EQ(clock.zone, 0xFFFE);

  EXPECT_FALSE(page.WriteTimeZone(clock, 9));
  EXPECT_EQ(clock.seconds, k2024_03_10_12_30_05 + 1);
  EXPECT_EQ(clock.zone, 9);
  EXPECT_FALSE(page.WriteTimeZone(clock, -12));
  EXPECT_EQ(clock.zone, 0xFFF4);
}

TEST(ClockPage, FailedOrImpossibleWritesSayWhy) {
  MemoryClock clock;
  CClockPageModel page;
  clock.failRead = true;
  EXPECT_EQ(page.WriteUtc(clock, sys_days{2024y / 1 / 1}), "Writing UTC failed!\nErrorcode: 0x20088212");
  EXPECT_EQ(page.WriteTimeZone(clock, 2), "Writing time zone failed!\nErrorcode: 0x20088212");
  EXPECT_EQ(clock.writes, 0);  // nothing is set when the present clock could not be read

  clock.failRead = false;
  EXPECT_EQ(page.WriteUtc(clock, sys_days{1969y / 12 / 31}),
            "Writing UTC failed!\nThe device's clock counts from 1970-01-01 to 2106-02-07.");
  EXPECT_EQ(page.WriteTimeZone(clock, 13),
            "Writing time zone failed!\nThe time zone lies between UTC -12:00 and UTC +12:00.");
  EXPECT_EQ(clock.writes, 0);
}

TEST(ClockPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CClockPageModel>(
      [](std::mt19937& random) { return RandomWords(random, random() % 80); }, true, false);
}

TEST(ClockPage, ThePcClockIsReadInTheRuntimesZone) {
  const char* previous = std::getenv("TZ");
  const std::string saved = previous ? previous : "";
  setenv("TZ", "UTC0", 1);
  const PcClockView view = CClockPageModel::ReadPcClock();
  EXPECT_EQ(view.zoneText, "UTC");
  EXPECT_EQ(view.dstText, "NOT ACTIVATED");
  EXPECT_EQ(view.time, view.utcTime);
  EXPECT_EQ(view.date.size(), 10u);
  if (previous)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
}
