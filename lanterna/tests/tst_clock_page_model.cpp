#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "Communication/RS232Connection.h"
#include "Platform/Time.h"
#include "SIOService.h"
#include "SimulatedDevice.h"
#include "pages/ClockPageModel.h"

using namespace lanterna;
using namespace std::chrono;

namespace {

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

namespace {

constexpr std::uint8_t kGetClock = 22;
constexpr std::uint8_t kSetClock = 23;
constexpr std::uint16_t kNotSupported = 0x8212;

// The Clock page against a simulated device on a pseudo-terminal, through the program's
// connection and service.
class ClockPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fennec::sim::SimulatorOptions options;
    options.profile = *fennec::sim::FindProfile("fbc32");
    m_device = std::make_unique<fennec::sim::SimulatedDevice>(std::move(options));
    ASSERT_TRUE(m_device->Start()) << m_device->StartReport();
    ASSERT_TRUE(m_connection.SetSettingsXML("<RS232 device='" + m_device->SlavePath() + "' timeout='300'/>"));
    m_connection.Open();
  }
  void TearDown() override { m_connection.Close(); }

  // The device's clock now: UTC seconds and the zone word.
  std::pair<std::uint32_t, std::uint16_t> DeviceClock() {
    const std::int64_t now = fennec::platform::CalendarTimeNow();
    return m_device->InspectState(
        [now](const auto& state) { return std::make_pair(state.Clock().Seconds(now), state.Clock().TimeZone()); });
  }
  void SetDeviceClock(std::uint32_t seconds, std::uint16_t zone) {
    std::uint32_t ignored = 0;
    std::uint16_t ignoredZone = 0;
    ASSERT_TRUE(m_service.GetRealTimeClock(ignored, ignoredZone));
    ASSERT_TRUE(m_service.SetRealTimeClock(seconds, zone));
  }

  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  ORLA::CRS232Connection m_connection;
  CSIOService m_service{&m_connection};
  CServiceDeviceClock m_clock{m_service};
  CClockPageModel m_page;
};

// The simulated clock runs on while a test runs.
void ExpectSecondsNear(std::uint32_t actual, std::uint32_t expected) {
  EXPECT_GE(actual, expected);
  EXPECT_LE(actual, expected + 5);
}

}  // namespace

TEST_F(ClockPageTest, RefreshShowsTheDeviceAndAFailedReadStopsFurtherReads) {
  SetDeviceClock(k2024_03_10_12_30_05, 1);
  const auto shown = m_page.RefreshDevice(m_clock);
  ASSERT_TRUE(shown.view);
  EXPECT_EQ(shown.view->localDate, "2024-03-10");
  EXPECT_EQ(shown.view->localTime.substr(0, 5), "13:30");
  EXPECT_EQ(shown.note, "Only timezone included!");

  m_device->RejectService(1, kGetClock, kNotSupported);
  const auto failed = m_page.RefreshDevice(m_clock);
  EXPECT_FALSE(failed.view);
  EXPECT_EQ(failed.note, "Error: RTC settings not read! (0x20088212)");
  EXPECT_FALSE(m_page.IsInteractive());
  m_device->ClearFaults();
  const unsigned exchanges = m_device->Exchanges();
  EXPECT_FALSE(m_page.RefreshDevice(m_clock).view);
  EXPECT_EQ(m_device->Exchanges(), exchanges);  // nothing was asked of the device

  m_page.SetInteractive(true);
  EXPECT_TRUE(m_page.RefreshDevice(m_clock).view);
}

TEST_F(ClockPageTest, SynchroniseWritesThePcTimeAndItsStandardZone) {
  EXPECT_FALSE(m_page.Synchronise(m_clock, k2024_03_10_12_30_05, Zone(-3600, true, "CEST")));
  auto [seconds, zone] = DeviceClock();
  ExpectSecondsNear(seconds, k2024_03_10_12_30_05);
  EXPECT_EQ(zone, 1);  // daylight saving is not included
  EXPECT_FALSE(m_page.Synchronise(m_clock, 0x1'0000'0005, Zone(5 * 3600, false, "")));
  std::tie(seconds, zone) = DeviceClock();
  ExpectSecondsNear(seconds, 5u);  // the low 32 bits
  EXPECT_EQ(zone, 0xFFFB);

  m_device->RejectService(1, kSetClock, kNotSupported);
  EXPECT_EQ(m_page.Synchronise(m_clock, 0, Zone(0, false, "")),
            "Synchronizing Real Time Clock failed!\nErrorcode: 0x20088212");
}

TEST_F(ClockPageTest, WritingTheUtcKeepsTheZoneAndWritingTheZoneKeepsTheUtc) {
  SetDeviceClock(1000, 0xFFFE);
  EXPECT_FALSE(m_page.WriteUtc(m_clock, sys_days{2024y / 3 / 10} + 12h + 30min + 5s + 700ms));
  auto [seconds, zone] = DeviceClock();
  ExpectSecondsNear(seconds, k2024_03_10_12_30_05 + 1);
  EXPECT_EQ(zone, 0xFFFE);

  EXPECT_FALSE(m_page.WriteTimeZone(m_clock, 9));
  std::tie(seconds, zone) = DeviceClock();
  ExpectSecondsNear(seconds, k2024_03_10_12_30_05 + 1);
  EXPECT_EQ(zone, 9);
  EXPECT_FALSE(m_page.WriteTimeZone(m_clock, -12));
  EXPECT_EQ(DeviceClock().second, 0xFFF4);
}

TEST_F(ClockPageTest, FailedOrImpossibleWritesSayWhyAndSetNothing) {
  SetDeviceClock(1000, 3);
  m_device->RejectService(1, kGetClock, kNotSupported);
  EXPECT_EQ(m_page.WriteUtc(m_clock, sys_days{2024y / 1 / 1}), "Writing UTC failed!\nErrorcode: 0x20088212");
  EXPECT_EQ(m_page.WriteTimeZone(m_clock, 2), "Writing time zone failed!\nErrorcode: 0x20088212");
  auto [seconds, zone] = DeviceClock();
  ExpectSecondsNear(seconds, 1000);  // nothing is set when the present clock could not be read
  EXPECT_EQ(zone, 3);

  m_device->ClearFaults();
  EXPECT_EQ(m_page.WriteUtc(m_clock, sys_days{1969y / 12 / 31}),
            "Writing UTC failed!\nThe device's clock counts from 1970-01-01 to 2106-02-07.");
  EXPECT_EQ(m_page.WriteTimeZone(m_clock, 13),
            "Writing time zone failed!\nThe time zone lies between UTC -12:00 and UTC +12:00.");
  std::tie(seconds, zone) = DeviceClock();
  ExpectSecondsNear(seconds, 1000);
  EXPECT_EQ(zone, 3);
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
