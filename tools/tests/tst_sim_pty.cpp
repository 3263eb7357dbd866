#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "LineClient.h"
#include "LinePacing.h"
#include "Platform/ChildProcess.h"
#include "SimulatedDevice.h"
#include "TempFolder.h"
#include "TestProcesses.h"

using namespace fennec::sim;
using simtest::Bytes;
using simtest::kAnswer124;
using simtest::kRead124;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class SimulatedDeviceOnPty : public ::testing::Test {
 protected:
  void Start(unsigned baud = 0, DeviceTimings timings = {}) {
    SimulatorOptions options;
    options.profile = *FindProfile("fbc32");
    options.baud = baud;
    options.timings = timings;
    device = std::make_unique<SimulatedDevice>(std::move(options));
    ASSERT_TRUE(device->Start()) << device->StartReport();
    client = std::make_unique<LineClient>(device->SlavePath());
    ASSERT_TRUE(client->IsOpen()) << device->SlavePath();
  }

  std::unique_ptr<SimulatedDevice> device;
  std::unique_ptr<LineClient> client;
};

}  // namespace

TEST_F(SimulatedDeviceOnPty, AnswersOnTheSlaveTerminal) {
  Start();
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
  auto registers = client->Client();
  ASSERT_TRUE(registers.EnableWriting());
  ASSERT_TRUE(registers.Write(0, 26, {0x0011}).Good());
  EXPECT_EQ(device->InspectState([](const DeviceState& state) { return state.tables.Word(0, 26); }), 0x0011);
  EXPECT_EQ(device->Exchanges(), 4u);
}

TEST_F(SimulatedDeviceOnPty, ALostRequestGetsNoAnswerAndTheNextOneDoes) {
  Start();
  device->DropNext(1);
  EXPECT_EQ(client->Exchange(kRead124, 300ms), std::nullopt);
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
}

TEST_F(SimulatedDeviceOnPty, DamagedAnswersThenGoodOnes) {
  Start();
  device->CorruptNextChecksums(1);
  EXPECT_EQ(client->Exchange(kRead124),
            (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x7C, 0x00, 0x16, 0x00, 0xED, 0x02}));
  device->WrongStartNext(1);
  const auto foreign = client->Exchange(kRead124);
  ASSERT_TRUE(foreign);
  EXPECT_EQ(Bytes(foreign->begin(), foreign->begin() + 2), (Bytes{0xAA, 0x55}));
  device->EchoNext(1);
  EXPECT_EQ(client->Exchange(kRead124), kRead124);
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
}

TEST_F(SimulatedDeviceOnPty, DelayedAnswersComeLate) {
  Start();
  device->SetAnswerDelay(150ms);
  const auto sent = Clock::now();
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
  EXPECT_GE(Clock::now() - sent, 150ms);
}

TEST_F(SimulatedDeviceOnPty, RejectedServiceAndRegisterRange) {
  Start();
  device->RejectService(1, 8, 0x8214);
  device->RejectRegisters(100, 0, 8, 0x8201);
  auto registers = client->Client();
  EXPECT_EQ(registers.Service(1, 8).status, 0x8214);
  EXPECT_EQ(registers.Read(100, 8, 2).rejection, 0x8201);
  EXPECT_TRUE(registers.Read(100, 9, 2).Good());
  device->ClearFaults();
  EXPECT_EQ(registers.Service(1, 8).status, 0);
}

TEST_F(SimulatedDeviceOnPty, AnswersNoFasterThanTheSerialLine) {
  Start(9600);
  const auto sent = Clock::now();
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
  // 12 request and 14 answer bytes at 11 bits each.
  EXPECT_GE(Clock::now() - sent, WireTime(26, 9600));
  EXPECT_EQ(device->BytesOnLine(), 26u);
}

TEST_F(SimulatedDeviceOnPty, CutLineEndsTheServiceAfterTheGivenExchanges) {
  Start();
  device->CutLineAfter(2);
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
  std::array<std::uint8_t, 16> rest{};
  EXPECT_EQ(client->Line().ReadSome(rest, Clock::now() + 2s).status, fennec::platform::ByteLine::ReadStatus::Closed);
  const auto deadline = Clock::now() + 10s;
  while (!device->LineCut() && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(device->LineCut());
}

TEST_F(SimulatedDeviceOnPty, RestartIsSilentOnTheLineUntilTheDeviceIsBack) {
  // Long enough that a test thread held up by a busy machine still asks while it is silent.
  DeviceTimings timings;
  timings.restartSilence = 1000ms;
  Start(0, timings);
  auto registers = client->Client();
  ASSERT_TRUE(registers.EnableWriting());
  ASSERT_EQ(registers.Service(1, 2, {}, 0).status, 0);
  const auto down = Clock::now();
  EXPECT_EQ(client->Exchange(kRead124, 100ms), std::nullopt);
  std::this_thread::sleep_until(down + 1000ms);
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);
}

TEST_F(SimulatedDeviceOnPty, TornRequestIsDroppedAndAPacedOneIsServed) {
  Start();
  ASSERT_TRUE(client->Line().WriteAll(std::span(kRead124).first(5), Clock::now() + 1s));
  std::this_thread::sleep_for(250ms);
  EXPECT_EQ(client->Exchange(kRead124), kAnswer124);

  for (std::size_t i = 0; i < kRead124.size(); i += 4) {
    ASSERT_TRUE(client->Line().WriteAll(std::span(kRead124).subspan(i, 4), Clock::now() + 1s));
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(client->ReadAnswer(Clock::now() + 1s), kAnswer124);
  std::array<std::uint8_t, 16> nothing{};
  EXPECT_EQ(client->Line().ReadSome(nothing, Clock::now() + 100ms).status, fennec::platform::ByteLine::ReadStatus::Timeout);
}

TEST_F(SimulatedDeviceOnPty, StopDoesNotWaitForAPendingAnswer) {
  Start();
  device->SetAnswerDelay(60s);
  ASSERT_TRUE(client->Line().WriteAll(kRead124, Clock::now() + 1s));
  std::this_thread::sleep_for(100ms);
  const auto stopping = Clock::now();
  device->Stop();
  EXPECT_LT(Clock::now() - stopping, 20s);
}

// A client killed while it holds the port for itself, as the library's serial port does, must
// not lock out the next one. Root ignores the exclusive flag, so as root the next client is
// the user 'nobody'.
TEST(SimulatedDeviceClients, AClientKilledWhileItHeldThePortLocksNoOneOut) {
  const bool root = RunningAsRoot();
  if (root && !Succeeds("command -v runuser >/dev/null && id -u nobody >/dev/null 2>&1"))
    GTEST_SKIP() << "no runuser or no user 'nobody' to open the port as";
  SimulatorOptions options;
  options.profile = *FindProfile("fbc32");
  SimulatedDevice device(std::move(options));
  ASSERT_TRUE(device.Start()) << device.StartReport();
  const std::string path = device.SlavePath();
  if (root) {
    ASSERT_TRUE(Succeeds("chmod 0666 '" + path + "'"));
  }

  TempFolder folder;
  const std::filesystem::path out = folder.Path() / "opener.txt";
  const std::string opener = std::string(root ? "runuser -u nobody -- " : "") + PORT_OPENER + " '" + path + "' > '" +
                             out.string() + "'";
  auto openedByNextClient = [&] { return Succeeds(opener) && ReadText(out) == "0x00000000\n"; };

  const std::filesystem::path ready = folder.Path() / "ready";
  auto holder = fennec::platform::ChildProcess::Start(PORT_HOLDER, {path, ready.string()}, folder.Path() / "holder.txt");
  ASSERT_TRUE(holder);
  const auto start = Clock::now();
  while (!std::filesystem::exists(ready) && Clock::now() - start < 10s) std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(std::filesystem::exists(ready)) << "the client did not open the port";
  EXPECT_FALSE(openedByNextClient()) << "the port is taken while its client lives";

  // SIGTERM ends it where it stands, without closing its port.
  EXPECT_EQ(holder->Terminate(Clock::now() + 10s), 128 + 15);
  const auto killed = Clock::now();
  bool opened = openedByNextClient();
  while (!opened && Clock::now() - killed < 10s) {
    std::this_thread::sleep_for(50ms);
    opened = openedByNextClient();
  }
  EXPECT_TRUE(opened) << ReadText(out);
}
