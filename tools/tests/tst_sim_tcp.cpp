// The simulated device on 127.0.0.1, through plain sockets and frames the test writes by hand.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "FramedBytes.h"
#include "LineClient.h"
#include "Platform/Socket.h"
#include "SimulatedDevice.h"

using namespace framedtest;
using fennec::platform::DeadlineAfter;
using fennec::platform::StreamSocket;
using fennec::sim::SimulatedDevice;
using fennec::sim::SimulatorOptions;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A connection to the device that sends bytes and reads whole frames, header first.
class FrameClient {
 public:
  explicit FrameClient(std::uint16_t port) {
    m_connected = m_socket.Create() == 0 && m_socket.Connect({127, 0, 0, 1}, port, DeadlineAfter(2000ms)) == 0;
  }

  bool Connected() const { return m_connected; }
  bool Send(const Bytes& bytes) { return m_socket.SendAll(bytes, DeadlineAfter(2000ms)).error == 0; }

  // The next frame, or nothing when none comes within the limit; closed tells an end of stream.
  std::optional<Frame> Read(std::chrono::milliseconds limit = 2000ms) {
    Bytes header(18);
    const auto deadline = DeadlineAfter(limit);
    const auto got = m_socket.ReceiveAll(header, deadline);
    closed = got.error == 0 && got.count < header.size();
    if (got.count < header.size()) return std::nullopt;
    Bytes data(WordAt(header, 16));
    if (m_socket.ReceiveAll(data, deadline).count < data.size()) return std::nullopt;
    header.insert(header.end(), data.begin(), data.end());
    return Decode(header);
  }

  std::optional<Frame> Exchange(const Frame& frame) { return Send(Encode(frame)) ? Read() : std::nullopt; }

  bool closed = false;

 private:
  StreamSocket m_socket;
  bool m_connected = false;
};

Frame Request(std::uint16_t number, Bytes block) { return {kLegacyId, number, 1, 1, 0, 0, std::move(block)}; }

class SimulatorOnTcp : public ::testing::Test {
 protected:
  void Start(SimulatorOptions options = {}) {
    if (options.profile.name.empty()) options.profile = *fennec::sim::FindProfile("fbc32");
    options.timings.restartSilence = 1500ms;
    device = std::make_unique<SimulatedDevice>(std::move(options));
    ASSERT_TRUE(device->Start()) << device->StartReport();
    ASSERT_EQ(device->StartTcp(0), 0);
    ASSERT_NE(device->TcpPort(), 0);
  }

  std::unique_ptr<SimulatedDevice> device;
};

}  // namespace

TEST_F(SimulatorOnTcp, FramesAreAssembledFromWhatArrives) {
  Start();
  FrameClient client(device->TcpPort());
  ASSERT_TRUE(client.Connected());
  const Bytes frame = Encode(Request(1, Words({0x0116})));
  ASSERT_TRUE(client.Send(Bytes(frame.begin(), frame.begin() + 7)));
  std::this_thread::sleep_for(50ms);
  ASSERT_TRUE(client.Send(Bytes(frame.begin() + 7, frame.end())));
  const auto answer = client.Read();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->requestNumber, 1);
  EXPECT_EQ(WordAt(answer->data, 0), 0x0116);

  // Two frames in one piece: two answers, in order.
  Bytes both = Encode(Request(2, Words({0x0108})));
  const Bytes second = Encode(Request(3, Words({0x0113})));
  both.insert(both.end(), second.begin(), second.end());
  ASSERT_TRUE(client.Send(both));
  const auto first = client.Read();
  const auto next = client.Read();
  ASSERT_TRUE(first && next);
  EXPECT_EQ(first->requestNumber, 2);
  EXPECT_EQ(next->requestNumber, 3);
  EXPECT_EQ(WordAt(next->data, 0), 0x0113);
}

TEST_F(SimulatorOnTcp, OneDeviceBehindTheTerminalAndTheNetwork) {
  Start();
  LineClient line(device->SlavePath());
  auto serial = line.Client();
  ASSERT_TRUE(serial.EnableWriting());
  ASSERT_TRUE(serial.Write(100, 3, {4321}).Good());
  FrameClient first(device->TcpPort());
  FrameClient second(device->TcpPort());
  const auto read = first.Exchange(Request(1, Words({0x0401, 0, 100, 3, 1})));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->data, Words({0x0401, 0, 100, 3, 1, 0, 4321}));
  // Each connection is a session of its own.
  const auto other = second.Exchange(Request(1, Words({0x0401, 0, 100, 3, 1})));
  ASSERT_TRUE(other);
  EXPECT_EQ(other->data, read->data);
}

TEST_F(SimulatorOnTcp, RestartClosesTheConnectionAndNewOnesWaitForTheDevice) {
  Start();
  FrameClient client(device->TcpPort());
  const auto restart = client.Exchange(Request(1, Words({0x0102})));
  ASSERT_TRUE(restart);
  EXPECT_EQ(restart->data, Words({0x0102, 0, 0}));
  EXPECT_FALSE(client.Read(1000ms));
  EXPECT_TRUE(client.closed);

  FrameClient during(device->TcpPort());
  ASSERT_TRUE(during.Connected());
  ASSERT_TRUE(during.Send(Encode(Request(1, Words({0x0116})))));
  EXPECT_FALSE(during.Read(300ms));
  EXPECT_FALSE(during.closed);  // no answer, but the connection stays

  std::optional<Frame> answer;
  const auto limit = Clock::now() + 10s;
  for (std::uint16_t number = 2; !answer && Clock::now() < limit; ++number)
    answer = during.Exchange(Request(number, Words({0x0116})));
  ASSERT_TRUE(answer) << "the device never came back";
  EXPECT_EQ(WordAt(answer->data, 2), 0);
}

TEST_F(SimulatorOnTcp, ConnectionClosedInsideARequest) {
  Start();
  device->CloseInsideRequestNext(1);
  FrameClient client(device->TcpPort());
  ASSERT_TRUE(client.Send(Encode(Request(1, Words({0x0116})))));
  EXPECT_FALSE(client.Read());
  EXPECT_TRUE(client.closed);
  FrameClient again(device->TcpPort());
  EXPECT_TRUE(again.Exchange(Request(1, Words({0x0116}))));
}

TEST_F(SimulatorOnTcp, DelayedAnswers) {
  SimulatorOptions options;
  options.networkFaults.delay = 400ms;
  Start(std::move(options));
  FrameClient client(device->TcpPort());
  const auto start = Clock::now();
  EXPECT_TRUE(client.Exchange(Request(1, Words({0x0116}))));
  EXPECT_GE(Clock::now() - start, 400ms);
  device->ClearFaults();
  EXPECT_TRUE(client.Exchange(Request(2, Words({0x0116}))));
}

TEST(SimulatedDeviceTcp, PortInUseIsRefused) {
  SimulatorOptions options;
  options.profile = *fennec::sim::FindProfile("fbc16");
  SimulatedDevice first(options);
  ASSERT_TRUE(first.Start());
  ASSERT_EQ(first.StartTcp(0), 0);
  SimulatedDevice second(options);
  ASSERT_TRUE(second.Start());
  EXPECT_EQ(second.StartTcp(first.TcpPort()), EADDRINUSE);
  EXPECT_EQ(second.TcpPort(), 0);
}
