#include <gtest/gtest.h>

#include "Platform/ChildProcess.h"

using fennec::platform::ChildProcess;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

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

TEST(ChildProcess, KillEndsAChildThatIgnoresTermination) {
  auto child = ChildProcess::Start("/bin/sh", {"-c", "trap '' TERM; echo ready; while :; do sleep 1; done"});
  ASSERT_TRUE(child);
  ASSERT_EQ(child->ReadLine(Clock::now() + 5s), "ready");
  EXPECT_EQ(child->Terminate(Clock::now() + 200ms), std::nullopt);
  EXPECT_EQ(child->Kill(Clock::now() + 5s), 128 + 9);
  EXPECT_EQ(child->Kill(Clock::now() + 5s), 128 + 9) << "a reaped child stays reaped";
}
