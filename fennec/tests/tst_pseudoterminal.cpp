#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "Platform/PseudoTerminal.h"

using namespace fennec::platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The device end and a client on the slave, as the simulator and its clients use them.
struct Pair {
  explicit Pair(PseudoTerminal::Slave slave = PseudoTerminal::Slave::Held)
      : device(PseudoTerminal::Start::Raw, slave), client(OpenRawTerminal(device.SlavePath())) {}
  PseudoTerminal device;
  ByteLine client;
};

}  // namespace

TEST(PseudoTerminal, BytesTravelRawBothWays) {
  Pair pair;
  ASSERT_TRUE(pair.client.IsOpen()) << pair.device.SlavePath();
  // Bytes a cooked terminal would change or swallow: CR, LF, ^C, ^D, DEL, 0xFF.
  const Bytes special{0x0D, 0x0A, 0x03, 0x04, 0x7F, 0xFF, 0x00, 0x11, 0x13};
  ASSERT_TRUE(pair.client.WriteAll(special, Clock::now() + 1s));
  EXPECT_EQ(pair.device.Receive(special.size(), 1s), special);

  ASSERT_TRUE(pair.device.Send(special));
  Bytes atClient(special.size());
  ASSERT_TRUE(pair.client.ReadExactly(atClient, Clock::now() + 1s));
  EXPECT_EQ(atClient, special);
  std::array<std::uint8_t, 4> nothing{};
  EXPECT_EQ(pair.device.Master().ReadSome(nothing, Clock::now() + 20ms).status, ByteLine::ReadStatus::Timeout)
      << "no echo of what the client received";
}

TEST(PseudoTerminal, ReadWaitsUntilItsDeadlineAndNoLonger) {
  Pair pair;
  std::array<std::uint8_t, 4> buffer{};
  const auto start = Clock::now();
  EXPECT_EQ(pair.device.Master().ReadSome(buffer, start + 80ms).status, ByteLine::ReadStatus::Timeout);
  EXPECT_GE(Clock::now() - start, 80ms);

  std::thread late([&] {
    std::this_thread::sleep_for(30ms);
    const Bytes two{1, 2};
    pair.client.WriteAll(two, Clock::now() + 1s);
  });
  EXPECT_FALSE(pair.device.Master().ReadExactly(buffer, Clock::now() + 200ms)) << "only 2 of 4 bytes come";
  late.join();
}

TEST(PseudoTerminal, AHeldSlaveOutlivesItsClientsAndCountsWhatTheyLeftUnread) {
  Pair pair;
  ASSERT_TRUE(pair.device.Send(Bytes{7, 8, 9}));
  const auto deadline = Clock::now() + 1s;
  while (pair.device.UnreadBySlave() < 3 && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(pair.device.UnreadBySlave(), 3u);
  std::array<std::uint8_t, 3> buffer{};
  ASSERT_TRUE(pair.client.ReadExactly(buffer, Clock::now() + 1s));
  EXPECT_EQ(pair.device.UnreadBySlave(), 0u);

  pair.client.Close();
  EXPECT_EQ(pair.device.Master().ReadSome(buffer, Clock::now() + 50ms).status, ByteLine::ReadStatus::Timeout)
      << "no hang-up while the slave is held";
  ByteLine next = OpenRawTerminal(pair.device.SlavePath());
  ASSERT_TRUE(next.WriteAll(Bytes{5}, Clock::now() + 1s));
  EXPECT_EQ(pair.device.Receive(1, 1s), Bytes{5});
}

TEST(PseudoTerminal, AFreeSlaveHangsUpWithItsOnlyClient) {
  Pair pair(PseudoTerminal::Slave::Free);
  ASSERT_TRUE(pair.client.IsOpen());
  EXPECT_EQ(pair.device.UnreadBySlave(), 0u) << "nothing to count with";
  pair.client.Close();
  std::array<std::uint8_t, 1> buffer{};
  EXPECT_EQ(pair.device.Master().ReadSome(buffer, Clock::now() + 1s).status, ByteLine::ReadStatus::Closed);
}

TEST(PseudoTerminal, CutHangsUpTheClient) {
  Pair pair;
  pair.device.Cut();
  std::array<std::uint8_t, 3> buffer{};
  EXPECT_EQ(pair.client.ReadSome(buffer, Clock::now() + 1s).status, ByteLine::ReadStatus::Closed);
  EXPECT_FALSE(pair.device.Master().IsOpen());
  EXPECT_FALSE(pair.device.Send(Bytes{1}));
}
