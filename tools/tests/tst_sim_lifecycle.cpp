#include <gtest/gtest.h>

#include "ModelFixture.h"

using simtest::Words;
using namespace std::chrono_literals;

namespace {

fennec::sim::DeviceTimings Timings() {
  fennec::sim::DeviceTimings timings;
  timings.restartSilence = 1500ms;
  timings.restartGrace = 2000ms;
  timings.saveBusy = 300ms;
  timings.fileJob = 1000ms;
  return timings;
}

}  // namespace

using SaveState = ModelFixture;

TEST_F(SaveState, Register1OfTable127RunsIdleBusyDone) {
  PowerUp("fbc32", Timings());
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{0});
  EXPECT_EQ(client.Service(1, 5, {}, 0).status, 0);
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{1});
  Advance(299ms);
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{1});
  EXPECT_EQ(client.Service(1, 5, {}, 0).status, 0x8211) << "a second save while the first is busy";
  Advance(1ms);
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{2});
  EXPECT_EQ(client.Service(1, 5, {}, 0).status, 0);
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{1});
}

TEST_F(SaveState, SavingNeedsNoWriteEnable) {
  PowerUp("fbc32", Timings());
  EXPECT_EQ(client.Service(1, 4, {}, 0).status, 0);
  EXPECT_EQ(client.Service(1, 5, {}, 0).status, 0);
}

using Restart = ModelFixture;

TEST_F(Restart, RefusedWithoutWriteEnable) {
  PowerUp("fbc32", Timings());
  EXPECT_EQ(client.Service(1, 2, {}, 0).status, 0x8214);
  Advance(10ms);
  EXPECT_TRUE(client.Read(0, 0, 1).Good()) << "the device did not go down";
}

TEST_F(Restart, SilentForTheConfiguredTimeThenBackWithTheSavedParameters) {
  PowerUp("fbc32", Timings());
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_TRUE(client.Write(100, 9, {0x0B0A, 0x0D0C}).Good());  // saved: 10.11.12.13
  ASSERT_EQ(client.Service(1, 5, {}, 0).status, 0);
  ASSERT_TRUE(client.Write(100, 9, {0x1514, 0x1716}).Good());  // not saved: 20.21.22.23
  ASSERT_TRUE(client.Write(0, 26, {0x0001}).Good());

  // The restart request is answered, its response too (after the client's poll delay); then
  // the device goes down.
  ASSERT_TRUE(client.Write(99, 0, {0x0201, 0}).Good());
  Advance(500ms);
  EXPECT_EQ(client.Read(99, 0, 3).words, (Words{0x0201, 1, 0}));
  Advance(1ms);
  EXPECT_FALSE(client.Read(0, 0, 1).answered);
  Advance(1498ms);
  EXPECT_FALSE(client.Read(0, 0, 1).answered);
  Advance(1ms);
  EXPECT_EQ(client.Read(100, 9, 2).words, (Words{0x0B0A, 0x0D0C}));
  EXPECT_EQ(client.Read(0, 26, 1).words, Words{0});
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{0}) << "the save state starts over";
  EXPECT_EQ(client.Write(100, 9, {0}).rejection, 0x8202) << "write enable does not survive a restart";
}

TEST_F(Restart, GoesDownEvenWhenTheResponseIsNeverFetched) {
  PowerUp("fbc32", Timings());
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_TRUE(client.Write(99, 0, {0x0201, 0}).Good());
  Advance(1999ms);
  EXPECT_TRUE(client.Read(0, 0, 1).Good());
  Advance(1ms);
  EXPECT_FALSE(client.Read(0, 0, 1).answered);
  Advance(1500ms);
  EXPECT_TRUE(client.Read(0, 0, 1).Good());
}

using FactoryDefaults = ModelFixture;

TEST_F(FactoryDefaults, RestoreTheProfileValuesWhichOnlyASaveMakesLasting) {
  PowerUp("fbc32", Timings());
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_TRUE(client.Write(100, 59, {8080}).Good());
  ASSERT_EQ(client.Service(1, 5, {}, 0).status, 0);

  ASSERT_EQ(client.Service(1, 4, {}, 0).status, 0);
  EXPECT_EQ(client.Read(100, 59, 1).words, Words{80});
  auto restart = [this] {
    ASSERT_TRUE(client.EnableWriting());
    ASSERT_EQ(client.Service(1, 2, {}, 0).status, 0);
    Advance(1500ms);
  };
  restart();
  EXPECT_EQ(client.Read(100, 59, 1).words, Words{8080}) << "defaults that were not saved are lost";

  ASSERT_EQ(client.Service(1, 4, {}, 0).status, 0);
  ASSERT_EQ(client.Service(1, 5, {}, 0).status, 0);
  restart();
  EXPECT_EQ(client.Read(100, 59, 1).words, Words{80});
}

using RealTimeClock = ModelFixture;

TEST_F(RealTimeClock, RunsOnFromTheTimeItWasSetWithItsTimeZoneWord) {
  PowerUp("fbc32", Timings());
  // 1000000 s = 0x000F4240; time zone -5 hours.
  ASSERT_EQ(client.Service(1, 23, {0x4240, 0x000F, 0xFFFB}, 0).status, 0);
  Advance(5000ms);
  const simtest::ServiceReply clock = client.Service(1, 22, {}, 3);
  EXPECT_EQ(clock.results, (Words{0x4245, 0x000F, 0xFFFB}));

  // Battery-backed: it keeps running through a restart.
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_EQ(client.Service(1, 2, {}, 0).status, 0);
  Advance(2000ms);
  EXPECT_EQ(client.Service(1, 22, {}, 3).results, (Words{0x4247, 0x000F, 0xFFFB}));
}

TEST_F(RealTimeClock, SixteenBitCouplersHaveNone) {
  PowerUp("fbc16", Timings());
  EXPECT_EQ(client.Service(1, 22, {}, 3).status, 0x8212);
}

using FileServices = ModelFixture;

TEST_F(FileServices, ExtractRunsUntilItsTimeIsUpAndBlocksFormatMeanwhile) {
  PowerUp("fbc32", Timings());
  EXPECT_EQ(client.Service(3, 1, {0xFFFF}, 0).status, 0x821D);
  Advance(250ms);
  EXPECT_EQ(client.Service(2, 33, {0x0301}, 3).results, (Words{0x0301, 0x821D, 25}));
  EXPECT_EQ(client.Service(3, 1, {0xFFFF}, 0).status, 0x821D);
  EXPECT_EQ(client.Service(3, 2, {0}, 0).status, 0x8211);
  Advance(750ms);
  EXPECT_EQ(client.Service(2, 33, {0x0301}, 3).results, (Words{0x0301, 0, 0}));
  EXPECT_EQ(client.Service(3, 2, {0}, 0).status, 0x821D);
}

TEST_F(FileServices, OlderCouplersHaveNoFileSystem) {
  PowerUp("fbc16", Timings());
  EXPECT_EQ(client.Service(3, 1, {0xFFFF}, 0).status, 0x8212);
}

using TerminalBusMonitor = ModelFixture;

TEST_F(TerminalBusMonitor, EntriesOldestFirstWithTicksSinceTheStart) {
  PowerUp("fbc16", Timings());
  Advance(12300ms);
  EXPECT_EQ(client.Service(2, 1, {}, 2).results, (Words{3, 0}));
  EXPECT_EQ(client.Service(2, 32, {3}, 1).results, Words{2});
  Advance(7700ms);

  ASSERT_EQ(client.Service(2, 32, {1}, 0).status, 0);
  // Event tick, code, argument | flags << 8, reference tick (now: 200 tenths).
  EXPECT_EQ(client.Service(2, 32, {2}, 6).results, (Words{0, 0, 0x0000, 0x00C0, 200, 0}));
  EXPECT_EQ(client.Service(2, 32, {2}, 6).results, (Words{123, 0, 0x0001, 0x0003, 200, 0}));
  EXPECT_EQ(client.Service(2, 32, {2}, 6).results[2], 0xFFFF) << "past the last entry";

  ASSERT_EQ(client.Service(2, 32, {0}, 0).status, 0);
  EXPECT_EQ(client.Service(2, 32, {3}, 1).results, Words{0});
  EXPECT_EQ(client.Service(2, 32, {4}, 0).status, 0x8213);
}

TEST_F(TerminalBusMonitor, EntriesOfEarlierRunsSurviveARestart) {
  PowerUp("fbc32", Timings());
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_EQ(client.Service(1, 2, {}, 0).status, 0);
  Advance(1500ms);
  EXPECT_EQ(client.Service(2, 32, {3}, 1).results, Words{2});
  ASSERT_EQ(client.Service(2, 32, {1}, 0).status, 0);
  const Words first = client.Service(2, 32, {2}, 6).results;
  const Words second = client.Service(2, 32, {2}, 6).results;
  // Both are start entries, with absolute times (flag bit 1) on the 32-bit generation.
  EXPECT_EQ(first[3], 0x02C0);
  EXPECT_EQ(second[3], 0x02C0);
}
