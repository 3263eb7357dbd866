#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "Platform/ChildProcess.h"
#include "Platform/PtyDevice.h"

using namespace fennec::platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Pair {
  Pair() : device(PtyDevice::Create()) {
    if (device) client = OpenRawTerminal(device->SlavePath());
  }
  std::optional<PtyDevice> device;
  ByteLine client;
};

}  // namespace

TEST(PtyDevice, BytesTravelRawBothWays) {
  Pair pair;
  ASSERT_TRUE(pair.device);
  ASSERT_TRUE(pair.client.IsOpen()) << pair.device->SlavePath();
  // Bytes a cooked terminal would change or swallow: CR, LF, ^C, ^D, DEL, 0xFF.
  const Bytes special{0x0D, 0x0A, 0x03, 0x04, 0x7F, 0xFF, 0x00, 0x11, 0x13};
  ASSERT_TRUE(pair.client.WriteAll(special, Clock::now() + 1s));
  Bytes atDevice(special.size());
  ASSERT_TRUE(pair.device->Master().ReadExactly(atDevice, Clock::now() + 1s));
  EXPECT_EQ(atDevice, special);

  ASSERT_TRUE(pair.device->Master().WriteAll(special, Clock::now() + 1s));
  Bytes atClient(special.size());
  ASSERT_TRUE(pair.client.ReadExactly(atClient, Clock::now() + 1s));
  EXPECT_EQ(atClient, special);
  std::array<std::uint8_t, 4> nothing{};
  EXPECT_EQ(pair.device->Master().ReadSome(nothing, Clock::now() + 20ms).status, ByteLine::ReadStatus::Timeout)
      << "no echo of what the client received";
}

TEST(PtyDevice, ReadWaitsUntilItsDeadlineAndNoLonger) {
  Pair pair;
  ASSERT_TRUE(pair.device);
  std::array<std::uint8_t, 4> buffer{};
  const auto start = Clock::now();
  EXPECT_EQ(pair.device->Master().ReadSome(buffer, start + 80ms).status, ByteLine::ReadStatus::Timeout);
  EXPECT_GE(Clock::now() - start, 80ms);

  std::thread late([&] {
    std::this_thread::sleep_for(30ms);
    const Bytes two{1, 2};
    pair.client.WriteAll(two, Clock::now() + 1s);
  });
  EXPECT_FALSE(pair.device->Master().ReadExactly(buffer, Clock::now() + 200ms)) << "only 2 of 4 bytes come";
  late.join();
}

TEST(PtyDevice, CutHangsUpTheClientAndUnreadBytesAreCounted) {
  Pair pair;
  ASSERT_TRUE(pair.device);
  const Bytes three{7, 8, 9};
  ASSERT_TRUE(pair.device->Master().WriteAll(three, Clock::now() + 1s));
  const auto deadline = Clock::now() + 1s;
  while (pair.device->UnreadByClient() < 3 && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(pair.device->UnreadByClient(), 3u);
  std::array<std::uint8_t, 3> buffer{};
  ASSERT_TRUE(pair.client.ReadExactly(buffer, Clock::now() + 1s));
  EXPECT_EQ(pair.device->UnreadByClient(), 0u);

  pair.device->Cut();
  EXPECT_EQ(pair.client.ReadSome(buffer, Clock::now() + 1s).status, ByteLine::ReadStatus::Closed);
  EXPECT_FALSE(pair.device->Master().IsOpen());
}

TEST(ChildProcess, OutputLinesAndExitCode) {
  auto child = ChildProcess::Start("/bin/sh", {"-c", "echo one; printf 'two\\nthree'; exit 3"});
  ASSERT_TRUE(child);
  EXPECT_EQ(child->ReadLine(Clock::now() + 5s), "one");
  EXPECT_EQ(child->ReadLine(Clock::now() + 5s), "two");
  EXPECT_EQ(child->ReadLine(Clock::now() + 5s), std::nullopt) << "an unfinished last line is not a line";
  EXPECT_EQ(child->Wait(Clock::now() + 5s), 3);
}

TEST(ChildProcess, TerminateEndsAChildThatWouldRunOn) {
  auto child = ChildProcess::Start("/bin/sleep", {"30"});
  ASSERT_TRUE(child);
  EXPECT_EQ(child->ReadLine(Clock::now() + 50ms), std::nullopt);
  EXPECT_EQ(child->Wait(Clock::now() + 50ms), std::nullopt);
  EXPECT_EQ(child->Terminate(Clock::now() + 5s), 128 + 15);
}

TEST(ChildProcess, AMissingProgramDoesNotStart) {
  EXPECT_FALSE(ChildProcess::Start("/nonexistent/program", {}));
}
