#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include "LineClient.h"
#include "RandomFaults.h"
#include "SimulatedDevice.h"

using namespace fennec::sim;
using simtest::Bytes;
using simtest::kAnswer124;
using simtest::kRead124;
using simtest::Words;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

RandomFaults Faults(double rate, std::uint32_t seed = 1, std::vector<RandomFault> kinds = {},
                    std::chrono::milliseconds late = 6000ms, std::chrono::milliseconds gap = 1000ms) {
  RandomFaults faults;
  faults.rate = rate;
  faults.seed = seed;
  faults.kinds = std::move(kinds);
  faults.late = late;
  faults.gap = gap;
  return faults;
}

FaultDraw Draw(RandomFault fault, std::vector<std::uint8_t> garbage = {}) {
  FaultDraw draw;
  draw.fault = fault;
  draw.garbage = std::move(garbage);
  return draw;
}

std::map<RandomFault, unsigned> Tally(RandomFaultSource& source, unsigned draws) {
  std::map<RandomFault, unsigned> tally;
  for (unsigned i = 0; i < draws; ++i) ++tally[source.Next().fault];
  return tally;
}

}  // namespace

TEST(RandomFaultSource, RateZeroNeverStrikesAndRateOneAlways) {
  RandomFaultSource never(Faults(0.0, 3));
  EXPECT_EQ(Tally(never, 10'000)[RandomFault::None], 10'000u);
  RandomFaultSource always(Faults(1.0, 3));
  EXPECT_EQ(Tally(always, 10'000)[RandomFault::None], 0u);
}

TEST(RandomFaultSource, TheSameSeedDrawsTheSameFaults) {
  const RandomFaults faults = Faults(0.3, 7, {}, 100ms);
  RandomFaultSource first(faults);
  RandomFaultSource second(faults);
  RandomFaultSource other(Faults(0.3, 8, {}, 100ms));
  unsigned differences = 0;
  for (int i = 0; i < 2000; ++i) {
    const FaultDraw a = first.Next();
    const FaultDraw b = second.Next();
    ASSERT_EQ(a.fault, b.fault) << i;
    ASSERT_EQ(a.delay, b.delay) << i;
    ASSERT_EQ(a.splitDraw, b.splitDraw) << i;
    ASSERT_EQ(a.garbage, b.garbage) << i;
    if (other.Next().fault != a.fault) ++differences;
  }
  EXPECT_GT(differences, 200u) << "another seed, other faults";
}

TEST(RandomFaultSource, StrikesAtItsRateWithEveryKindAlike) {
  RandomFaultSource source(Faults(0.05, 11));
  std::map<RandomFault, unsigned> tally = Tally(source, 40'000);
  const unsigned struck = 40'000 - tally[RandomFault::None];
  EXPECT_GT(struck, 1700u);  // 2000 expected
  EXPECT_LT(struck, 2300u);
  for (const RandomFault kind : kRandomFaultKinds) {
    EXPECT_GT(tally[kind], 150u) << FaultName(kind);  // 250 expected
    EXPECT_LT(tally[kind], 350u) << FaultName(kind);
  }
}

TEST(RandomFaultSource, OnlyTheKindsAskedFor) {
  RandomFaultSource source(Faults(1.0, 5, {RandomFault::Late, RandomFault::Echo}));
  std::map<RandomFault, unsigned> tally = Tally(source, 1000);
  EXPECT_EQ(tally[RandomFault::Late] + tally[RandomFault::Echo], 1000u);
  EXPECT_GT(tally[RandomFault::Late], 0u);
  EXPECT_GT(tally[RandomFault::Echo], 0u);
}

TEST(RandomFaultSource, ParticularsStayInTheirBounds) {
  RandomFaultSource source(Faults(1.0, 9, {}, 200ms, 30ms));
  std::map<RandomFault, unsigned> seen;
  for (int i = 0; i < 4000; ++i) {
    const FaultDraw draw = source.Next();
    ++seen[draw.fault];
    if (draw.fault == RandomFault::Late) {
      EXPECT_GE(draw.delay, 200ms);
      EXPECT_LT(draw.delay, 400ms);
    }
    if (draw.fault == RandomFault::Split) {
      EXPECT_EQ(draw.delay, 30ms);
      for (const std::size_t length : {2u, 12u, 100u}) {
        EXPECT_GE(draw.SplitPoint(length), 1u);
        EXPECT_LT(draw.SplitPoint(length), length);
      }
    }
    if (draw.fault == RandomFault::Garbage) {
      EXPECT_GE(draw.garbage.size(), 1u);
      EXPECT_LE(draw.garbage.size(), kMaxGarbage);
    } else {
      EXPECT_TRUE(draw.garbage.empty());
    }
  }
  EXPECT_GT(seen[RandomFault::Late], 0u);
  EXPECT_GT(seen[RandomFault::Split], 0u);
  EXPECT_GT(seen[RandomFault::Garbage], 0u);
}

TEST(StrikeAnswer, EachKindDoesItsOwnDamage) {
  const Bytes badChecksum{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x7C, 0x00, 0x16, 0x00, 0xED, 0x02};
  Bytes foreign = kAnswer124;
  foreign[0] = 0xAA;
  foreign[1] = 0x55;
  Bytes afterGarbage{0x00, 0x02, 0xFD};
  afterGarbage.insert(afterGarbage.end(), kAnswer124.begin(), kAnswer124.end());
  const struct {
    FaultDraw draw;
    Bytes expected;
  } cases[] = {
      {Draw(RandomFault::Checksum), badChecksum},
      {Draw(RandomFault::WrongStart), foreign},
      {Draw(RandomFault::Echo), kRead124},
      {Draw(RandomFault::Garbage, {0x00, 0x02, 0xFD}), afterGarbage},
      {Draw(RandomFault::None), kAnswer124},
      {Draw(RandomFault::Late), kAnswer124},
      {Draw(RandomFault::Split), kAnswer124},
      {Draw(RandomFault::HangUp), kAnswer124},
      {Draw(RandomFault::Drop), kAnswer124},
  };
  for (const auto& c : cases) EXPECT_EQ(StrikeAnswer(c.draw, kAnswer124, kRead124), c.expected) << c.draw.Describe();
}

namespace {

class RandomFaultsOnPty : public ::testing::Test {
 protected:
  void Start(const RandomFaults& faults, DeviceTimings timings = {}) {
    SimulatorOptions options;
    options.profile = *FindProfile("fbc32");
    options.timings = timings;
    options.lineReplaced = [this](const std::string& path) {
      std::lock_guard lock(mutex);
      replacedBy = path;
    };
    device = std::make_unique<SimulatedDevice>(std::move(options));
    ASSERT_TRUE(device->Start()) << device->StartReport();
    client = std::make_unique<LineClient>(device->SlavePath());
    ASSERT_TRUE(client->IsOpen());
    // Writing is enabled while the line is still sound.
    ASSERT_TRUE(client->Client().EnableWriting());
    device->SetRandomFaults(faults);
  }

  Words Table100(unsigned first, unsigned count) {
    return device->InspectState([&](const DeviceState& state) {
      const auto run = state.tables.Run(100, first, count);
      return Words(run.begin(), run.end());
    });
  }

  std::unique_ptr<SimulatedDevice> device;
  std::unique_ptr<LineClient> client;
  std::mutex mutex;
  std::string replacedBy;  // by the device's thread
};

}  // namespace

TEST_F(RandomFaultsOnPty, ALateAnswerComesAfterItsDelay) {
  Start(Faults(1.0, 1, {RandomFault::Late}, 200ms));
  const auto sent = Clock::now();
  EXPECT_EQ(client->Exchange(kRead124, 2s), kAnswer124);
  EXPECT_GE(Clock::now() - sent, 200ms);
  EXPECT_EQ(device->Struck(RandomFault::Late), 1u);
}

TEST_F(RandomFaultsOnPty, ASplitAnswerPausesBetweenItsParts) {
  Start(Faults(1.0, 1, {RandomFault::Split}, 6000ms, 300ms));
  ASSERT_TRUE(client->Line().WriteAll(kRead124, Clock::now() + 1s));
  Bytes first(kAnswer124.size());
  const auto part = client->Line().ReadSome(first, Clock::now() + 1s);
  ASSERT_EQ(part.status, fennec::platform::ByteLine::ReadStatus::Data);
  const auto firstAt = Clock::now();
  ASSERT_LT(part.count, kAnswer124.size());
  Bytes answer(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(part.count));
  Bytes rest(kAnswer124.size() - part.count);
  ASSERT_TRUE(client->Line().ReadExactly(rest, Clock::now() + 2s));
  EXPECT_GE(Clock::now() - firstAt, 200ms) << "the second part came without the gap";
  answer.insert(answer.end(), rest.begin(), rest.end());
  EXPECT_EQ(answer, kAnswer124);
}

TEST_F(RandomFaultsOnPty, ALostRequestLeavesTheDeviceAsItWas) {
  Start(Faults(1.0, 1, {RandomFault::Drop}));
  const Words before = Table100(9, 2);
  EXPECT_EQ(client->Exchange(simtest::WriteRequest(100, 9, {0x0A0A, 0x0B0B}), 300ms), std::nullopt);
  EXPECT_EQ(Table100(9, 2), before);
}

TEST_F(RandomFaultsOnPty, AHangUpMovesTheLineToANewTerminalAfterTheRequestWasHandled) {
  Start(Faults(1.0, 1, {RandomFault::HangUp}));
  EXPECT_EQ(client->Exchange(simtest::WriteRequest(100, 9, {0x0A0A, 0x0B0B}), 2s), std::nullopt);
  std::array<std::uint8_t, 16> nothing{};
  EXPECT_EQ(client->Line().ReadSome(nothing, Clock::now() + 2s).status, fennec::platform::ByteLine::ReadStatus::Closed);
  EXPECT_EQ(Table100(9, 2), (Words{0x0A0A, 0x0B0B}));
  const std::string moved = device->LinePath();
  EXPECT_NE(moved, device->SlavePath());
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(replacedBy, moved);
  }

  device->SetRandomFaults({});
  LineClient reopened(moved);
  ASSERT_TRUE(reopened.IsOpen()) << moved;
  EXPECT_EQ(reopened.Exchange(kRead124), kAnswer124);
  EXPECT_EQ(device->Struck(RandomFault::HangUp), 1u);
}

TEST_F(RandomFaultsOnPty, APowerFailureLosesWhatWasNotSaved) {
  DeviceTimings timings;
  timings.restartSilence = 500ms;
  Start(Faults(0.0), timings);
  auto registers = client->Client();
  ASSERT_EQ(registers.Service(1, 5, {}, 0).status, 0);  // saved as they are
  const Words saved = Table100(9, 2);
  device->ResetAfter(1);
  ASSERT_TRUE(registers.Write(100, 9, {0x0A0A, 0x0B0B}).Good()) << "answered before the power goes";
  const auto down = Clock::now();
  EXPECT_EQ(client->Exchange(kRead124, 200ms), std::nullopt);
  std::this_thread::sleep_until(down + 600ms);
  EXPECT_EQ(registers.Read(100, 9, 2).words, saved);
  EXPECT_EQ(registers.Write(100, 9, {0}).rejection, 0x8202) << "write enable does not survive it";
}
