#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "KBMonitor.h"
#include "Platform/Time.h"
#include "SIORegComm.h"
#include "SIOService.h"
#include "ServiceDevice.h"
#include "VtableSlots.h"

using Words = ServiceDevice::Words;

namespace {

// The monitor entry words: event tick (low word first), code, argument and flags, reference tick.
Words Entry(std::uint32_t eventTick, std::uint16_t code, std::uint8_t argument, std::uint8_t flags,
            std::uint32_t referenceTick) {
  return {static_cast<std::uint16_t>(eventTick & 0xFFFF), static_cast<std::uint16_t>(eventTick >> 16), code,
          static_cast<std::uint16_t>(argument | (flags << 8)), static_cast<std::uint16_t>(referenceTick & 0xFFFF),
          static_cast<std::uint16_t>(referenceTick >> 16)};
}

// Fields of the packed extended entry are read by value: a reference to one may be misaligned.
template <typename Field>
Field Value(Field field) {
  return field;
}

class MonitorTest : public ::testing::Test {
 protected:
  ScriptedConnection line;
  ServiceDevice device{line};
  CSIOService service{&line};
};

}  // namespace

TEST(ServiceLayout, SlotOrderOfTheServiceInterface) {
  EXPECT_EQ(Slot(&CServiceBase::EnableParamWriting), 1u);
  EXPECT_EQ(Slot(&CServiceBase::RestartSystem), 2u);
  EXPECT_EQ(Slot(&CServiceBase::GetFBCStates), 6u);
  EXPECT_EQ(Slot(&CServiceBase::IdentifyDevice), 8u);
  EXPECT_EQ(Slot(&CServiceBase::GetNetworkID), 12u);
  EXPECT_EQ(Slot(&CServiceBase::GetInternalVariable), 17u);
  EXPECT_EQ(Slot(&CServiceBase::GetTableInfo), 19u);
  EXPECT_EQ(Slot(&CServiceBase::GetRealTimeClock), 22u);
  EXPECT_EQ(Slot(&CServiceBase::ControlParamSequence), 24u);
  EXPECT_EQ(Slot(&CServiceBase::GetTerminalBusMonitorEntry), 28u);
  EXPECT_EQ(Slot(&CServiceBase::GetServiceState), 30u);
  EXPECT_EQ(Slot(&CServiceBase::FormatFlashDisk), 32u);
  EXPECT_EQ(Slot(&CServiceBase::WriteRegister), 33u);
  EXPECT_EQ(Slot(&CServiceBase::ReadRegister), 34u);
  EXPECT_EQ(Slot(&CServiceBase::GetTerminalBusMonitorEntryEx), 35u);
  EXPECT_EQ(Slot(&CServiceBase::GetTerminalBusMonitorEntries), 36u);
  EXPECT_EQ(Slot(&CServiceBase::GetLastErrorCode), 37u);
  EXPECT_EQ(Slot(&CServiceBase::ResetLastErrorCode), 38u);
}

TEST(MonitorTime, RelativeTicksAreWorkedBackFromTheReferenceTick) {
  const std::int64_t now = 1'700'000'000;
  const tKBMonEntryEx entry = fennec::kbmon::ExtendEntry({1000, 0x0012, 4, 0x01, 36000}, now);
  EXPECT_EQ(Value(entry.llEventTime), now - 3500);
  EXPECT_EQ(Value(entry.llReferenceTime), now - 3600);
  EXPECT_EQ(Value(entry.llEventOffset), 100);
  EXPECT_EQ(Value(entry.wCode), 0x0012);
  EXPECT_EQ(Value(entry.byArgument), 4);
  EXPECT_EQ(Value(entry.byFlag), 1);
  EXPECT_EQ(Value(entry.byTimeValid), 0);
}

TEST(MonitorTime, TenthsAreTruncatedAndTheDifferenceWrapsAt32Bits) {
  const std::int64_t now = 1'000'000;
  // 19 and 9 tenths give 1 s and 0 s; the reference tick has wrapped past the event tick.
  const tKBMonEntryEx truncated = fennec::kbmon::ExtendEntry({19, 0, 0, 0, 28}, now);
  EXPECT_EQ(Value(truncated.llEventOffset), 1);
  EXPECT_EQ(Value(truncated.llEventTime), now - 0);
  EXPECT_EQ(Value(truncated.llReferenceTime), now - 2);
  const tKBMonEntryEx wrapped = fennec::kbmon::ExtendEntry({0xFFFFFFF6, 0, 0, 0, 10}, now);
  EXPECT_EQ(Value(wrapped.llEventTime), now - 2);  // 20 tenths between them
}

TEST(MonitorTime, AbsoluteTimesAreTakenAsTheyAre) {
  const tKBMonEntryEx entry = fennec::kbmon::ExtendEntry({1000, 7, 0, 0x03, 3000}, 5);
  EXPECT_EQ(Value(entry.llEventTime), 1000);
  EXPECT_EQ(Value(entry.llReferenceTime), 3000);
  EXPECT_EQ(Value(entry.llEventOffset), -2000);
  EXPECT_EQ(Value(entry.byFlag), 1);
  EXPECT_EQ(Value(entry.byTimeValid), 1);
}

TEST_F(MonitorTest, EntryArrivesWithThePCTime) {
  device.Respond(0, Entry(1000, 0x0012, 4, 0x00, 36000));
  tKBMonEntryEx entry{};
  const std::int64_t before = fennec::platform::CalendarTimeNow();
  ASSERT_TRUE(service.GetTerminalBusMonitorEntryEx(entry));
  const std::int64_t after = fennec::platform::CalendarTimeNow();
  EXPECT_GE(Value(entry.llReferenceTime), before - 3600);
  EXPECT_LE(Value(entry.llReferenceTime), after - 3600);
  EXPECT_EQ(Value(entry.llEventTime) - Value(entry.llReferenceTime), 100);
  EXPECT_EQ(Value(entry.llEventOffset), 100);
  EXPECT_EQ(device.requests[0], (Words{0x2002, 1, 2}));
}

TEST_F(MonitorTest, ShortEntryFails) {
  device.Respond(0, {1, 2, 3});
  tKBMonEntry entry{};
  std::int64_t pcTime = -1;
  EXPECT_FALSE(service.GetTerminalBusMonitorEntry(entry, &pcTime));
  EXPECT_EQ(service.GetLastErrorCode(), 0x20088210u);
  EXPECT_EQ(pcTime, -1);
}

TEST_F(MonitorTest, EntriesSkipEmptyOnesAndTrustOnlyTimesSinceTheLastStart) {
  device.Respond(0);             // first entry
  device.Respond(0, {3});        // three entries stored
  device.Respond(0, Entry(10, 0x0005, 1, 0, 100));
  device.Respond(0, Entry(0, 0xFFFF, 0, 0, 100));
  device.Respond(0, Entry(20, 0x0000, 0xC0, 0, 100));
  device.Respond(0, Entry(30, 0x0007, 2, 0, 100));
  std::vector<tKBMonEntryEx> entries(1);
  entries[0].wCode = 0x4242;
  entries[0].byTimeValid = 7;
  ASSERT_TRUE(service.GetTerminalBusMonitorEntries(entries));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(Value(entries[0].wCode), 0x4242);
  EXPECT_EQ(Value(entries[0].byTimeValid), 7);  // what the caller had stays as it was
  EXPECT_EQ(Value(entries[1].wCode), 0x0005);
  EXPECT_EQ(Value(entries[1].byTimeValid), 0);  // before the start entry
  EXPECT_EQ(Value(entries[2].wCode), 0x0000);
  EXPECT_EQ(Value(entries[2].byTimeValid), 1);
  EXPECT_EQ(Value(entries[3].wCode), 0x0007);
  EXPECT_EQ(Value(entries[3].byTimeValid), 1);
  EXPECT_EQ(device.requests[0], (Words{0x2002, 1, 1}));
  EXPECT_EQ(device.requests[1], (Words{0x2002, 1, 3}));
}

TEST_F(MonitorTest, AbsoluteNewestEntryKeepsEveryFlag) {
  device.Respond(0);
  device.Respond(0, {2});
  device.Respond(0, Entry(10, 0x0005, 1, 0x00, 100));
  device.Respond(0, Entry(30, 0x0007, 2, 0x02, 100));
  std::vector<tKBMonEntryEx> entries;
  ASSERT_TRUE(service.GetTerminalBusMonitorEntries(entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(Value(entries[0].byTimeValid), 0);
  EXPECT_EQ(Value(entries[1].byTimeValid), 1);
}

TEST_F(MonitorTest, ADeviceDeliveringOnlyEmptyEntriesDoesNotKeepTheLoopGoing) {
  device.Respond(0);
  device.Respond(0, {2});
  device.Respond(0, Entry(10, 0x0005, 1, 0, 100));
  for (int i = 0; i < 40; ++i) device.Respond(0, Entry(0, 0xFFFF, 0, 0, 0));
  std::vector<tKBMonEntryEx> entries;
  ASSERT_TRUE(service.GetTerminalBusMonitorEntries(entries));
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_EQ(device.requests.size(), 2u + 1u + 16u);
}

TEST_F(MonitorTest, FailedEntryLeavesTheListAsItWas) {
  device.Respond(0);
  device.Respond(0, {2});
  device.Respond(0, Entry(10, 0x0005, 1, 0, 100));
  device.Respond(0x8003);
  std::vector<tKBMonEntryEx> entries(2);
  EXPECT_FALSE(service.GetTerminalBusMonitorEntries(entries));
  EXPECT_EQ(entries.size(), 2u);
  EXPECT_EQ(service.GetLastErrorCode(), 0x20048003u);
}

TEST_F(MonitorTest, ClearAndSize) {
  device.Respond(0);
  device.Respond(0, {0x0123});
  ASSERT_TRUE(service.ClearTerminalBusMonitor());
  std::uint16_t count = 0;
  ASSERT_TRUE(service.GetTerminalBusMonitorSize(count));
  EXPECT_EQ(count, 0x0123);
  EXPECT_EQ(device.requests, (std::vector<Words>{{0x2002, 1, 0}, {0x2002, 1, 3}}));
}
