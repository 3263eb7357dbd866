// The TCP/IP transport against a peer socket of the test on 127.0.0.1.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "Communication/TCPIPConnection.h"
#include "Communication/TCPIPSettingsDocument.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "TestPeer.h"

using fennec::platform::DebugCapture;
using ORLA::CTCPIPConnection;
using ORLA::CTCPIPConnectionException;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint32_t kRefused = 0x3000006F;
constexpr std::uint32_t kTimedOut = 0x3000006E;
constexpr std::uint32_t kReset = 0x30000068;
constexpr std::uint32_t kNotConnected = 0x3000006B;

struct Released {
  unsigned char* block = nullptr;
  ~Released() { delete[] block; }
};

// A connection to the peer, quick to close.
std::unique_ptr<CTCPIPConnection> ConnectionTo(const TestPeer& peer, const std::string& attributes = "") {
  auto connection = std::make_unique<CTCPIPConnection>();
  EXPECT_TRUE(connection->SetSettingsXML("<TCPIP IP-Address='127.0.0.1' ServicePort='" + std::to_string(peer.Port()) +
                                         "' CloseWaitTime='0' " + attributes + "/>"));
  return connection;
}

// The failure an operation threw: its code, number and texts.
template <class Operation>
std::optional<CTCPIPConnectionException> Thrown(Operation operation) {
  try {
    operation();
  } catch (const CTCPIPConnectionException& failure) {
    return failure;
  }
  return std::nullopt;
}

}  // namespace

TEST(CTCPIPConnectionTimeouts, GrowWithTheSizeUpToTheSquareOfTheSetting) {
  using fennec::tcpip::TransferTimeout;
  struct Case {
    std::uint16_t seconds;
    std::size_t count;
    std::optional<std::chrono::seconds> expected;
  };
  for (const Case& c : std::vector<Case>{{10, 30000, 30s},
                                         {2, 30000, 4s},
                                         {0, 30000, std::nullopt},
                                         {10, 18, 10s},
                                         {10, 19999, 10s},
                                         {10, 20000, 20s},
                                         {10, 1'000'000, 100s},
                                         {3, 0, 3s}})
    EXPECT_EQ(TransferTimeout(c.seconds, c.count), c.expected) << c.seconds << " s, " << c.count << " bytes";
}

TEST(CTCPIPConnection, ConnectsSendsAndReceives) {
  TestPeer peer;
  ASSERT_TRUE(peer.Listening());
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  EXPECT_TRUE(connection->IsOpen());
  EXPECT_NE(static_cast<unsigned int>(*connection), 0u);

  unsigned char request[] = {1, 2, 3, 4, 5};
  unsigned int written = 0;
  connection->Write(request, sizeof request, &written);
  EXPECT_EQ(written, 5u);
  EXPECT_EQ(peer.Receive(5), (Bytes{1, 2, 3, 4, 5}));

  ASSERT_TRUE(peer.Send(Bytes{9, 8, 7}));
  unsigned char answer[10] = {};
  unsigned int read = 99;
  connection->Read(answer, sizeof answer, &read);  // one receive: what has arrived
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(answer[2], 7);

  connection->Close();
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_EQ(static_cast<unsigned int>(*connection), 0u);
  EXPECT_TRUE(peer.SawClose());
}

TEST(CTCPIPConnection, ReadOfAPeerThatClosedReturnsNothingWithoutError) {
  TestPeer peer;
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  peer.CloseConnection();
  unsigned char buffer[4] = {};
  unsigned int read = 99;
  connection->Read(buffer, sizeof buffer, &read);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(connection->GetLastErrorCode(), 0u);
}

TEST(CTCPIPConnection, ClearBufferLeavesWhatHasArrived) {
  TestPeer peer;
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  ASSERT_TRUE(peer.Send(Bytes{0x11, 0x22}));
  std::this_thread::sleep_for(50ms);
  connection->ClearBuffer();
  unsigned char buffer[2] = {};
  unsigned int read = 0;
  connection->Read(buffer, 2, &read);
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(buffer[1], 0x22);
}

// Lower bounds only: a loaded machine may take longer, never shorter.
TEST(CTCPIPConnection, ReceiveRunsIntoItsTimeOut) {
  TestPeer peer;
  auto connection = ConnectionTo(peer, "ReceiveTimeoutSeconds='1'");
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  DebugCapture capture;
  unsigned char buffer[8] = {};
  const auto start = Clock::now();
  const auto failure = Thrown([&] { connection->Read(buffer, sizeof buffer, nullptr); });
  EXPECT_GE(Clock::now() - start, 1s);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->m_dwErrorCode, kTimedOut);
  EXPECT_EQ(failure->m_nNumber, 11);
  EXPECT_STREQ(failure->m_szText, "Failed to receive data from the connected socket!");
  EXPECT_STREQ(failure->m_szSystemCall, "Function recv() failed!");
  EXPECT_EQ(connection->GetLastErrorCode(), kTimedOut);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), kTimedOut);
  const std::string report = capture.Text();
  EXPECT_EQ(report.find("##############################################################\r\n"
                        "### Failed to receive data from the connected socket!\r\n"
                        "### WSAGetLastError( ) --> 110\r\n"
                        "### Seconds since calling rcv() function: "),
            0u)
      << report;
  EXPECT_NE(report.find("### Requested timeout value: 1s\r\n"), std::string::npos) << report;
  EXPECT_TRUE(connection->IsOpen());  // a time-out does not end the connection
}

TEST(CTCPIPConnection, ReceiveTimeOutZeroWaitsWithoutLimit) {
  TestPeer peer;
  auto connection = ConnectionTo(peer, "ReceiveTimeoutSeconds='0'");
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  std::thread late([&] {
    std::this_thread::sleep_for(1500ms);
    peer.Send(Bytes{0x42});
  });
  unsigned char byte = 0;
  unsigned int read = 0;
  EXPECT_NO_THROW(connection->Read(&byte, 1, &read));
  late.join();
  EXPECT_EQ(read, 1u);
  EXPECT_EQ(byte, 0x42);
}

TEST(CTCPIPConnection, FramedReadWaitsForAMessageSplitOnItsWay) {
  TestPeer peer;
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  Bytes message(18, 0);
  message[16] = 4;
  message.insert(message.end(), {1, 2, 3, 4});
  std::thread pieces([&] {
    peer.Send(std::span(message).first(10));
    std::this_thread::sleep_for(100ms);
    peer.Send(std::span(message).subspan(10, 10));
    std::this_thread::sleep_for(100ms);
    peer.Send(std::span(message).subspan(20));
  });
  Released out;
  unsigned int total = 0;
  EXPECT_TRUE(connection->ReadFragment(&out.block, &total));
  pieces.join();
  EXPECT_EQ(total, 22u);
  ASSERT_NE(out.block, nullptr);
  EXPECT_EQ(Bytes(out.block, out.block + 22), message);
}

TEST(CTCPIPConnection, FramedReadFailsWhenThePeerClosesInsideTheMessage) {
  TestPeer peer;
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  Bytes message(18, 0);
  message[16] = 100;  // announces 100 bytes, sends 3
  message.insert(message.end(), {1, 2, 3});
  ASSERT_TRUE(peer.Send(message));
  peer.CloseConnection();
  Released out;
  EXPECT_FALSE(connection->ReadFragment(&out.block, nullptr));
  EXPECT_EQ(out.block, nullptr);
  EXPECT_EQ(connection->GetLastErrorCode(), kReset);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), kReset);
}

TEST(CTCPIPConnection, FramingFromTheSettingsDocument) {
  TestPeer peer;
  auto connection = ConnectionTo(peer, "LengthPos='4' SizeOfLength='4' LengthCorrection='-8'");
  EXPECT_NE(connection->GetSettingsXML().find("LengthPos='4' SizeOfLength='4' LengthCorrection='-8' "),
            std::string::npos);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  // An 8-byte header whose 32-bit field at offset 4 says 13: 13 - 8 = 5 bytes follow.
  const Bytes message{0xAA, 0xBB, 0xCC, 0xDD, 13, 0, 0, 0, 1, 2, 3, 4, 5, 0xEE};
  ASSERT_TRUE(peer.Send(message));
  Released out;
  unsigned int total = 0;
  ASSERT_TRUE(connection->ReadFragment(&out.block, &total));
  EXPECT_EQ(total, 13u);
  EXPECT_EQ(Bytes(out.block, out.block + 13), Bytes(message.begin(), message.begin() + 13));
}

TEST(CTCPIPConnection, RefusedConnectionIsReportedWithTheSocketError) {
  TestPeer peer;
  peer.StopListening();
  auto connection = ConnectionTo(peer);
  fennec::platform::SetThreadLastError(0);
  const auto failure = Thrown([&] { connection->Open(); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->m_dwErrorCode, kRefused);
  EXPECT_EQ(failure->m_nNumber, 7);
  EXPECT_STREQ(failure->m_szText, "Failed to establish the connection!");
  EXPECT_STREQ(failure->m_szSystemCall, "connect() failed!");
  EXPECT_EQ(connection->GetLastErrorCode(), kRefused);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), kRefused);
  EXPECT_FALSE(connection->IsOpen());
  const std::string advice = connection->GetSystemErrorAdvice();
  EXPECT_NE(advice.find("127.0.0.1 port " + std::to_string(peer.Port())), std::string::npos) << advice;
}

TEST(CTCPIPConnection, ConnectWaitsAtMostTheSendTimeOut) {
  TestPeer peer(0);
  auto first = ConnectionTo(peer);
  first->Open();  // fills the backlog
  auto second = ConnectionTo(peer, "SendTimeoutSeconds='1'");
  const auto start = Clock::now();
  const auto failure = Thrown([&] { second->Open(); });
  EXPECT_GE(Clock::now() - start, 1s);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->m_dwErrorCode, kTimedOut);
  EXPECT_EQ(failure->m_nNumber, 7);
  EXPECT_FALSE(second->IsOpen());
}

TEST(CTCPIPConnection, WritingToAPeerThatHasGoneFailsWithoutASignal) {
  TestPeer peer;
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  peer.CloseConnection();
  std::this_thread::sleep_for(50ms);
  std::vector<unsigned char> block(1000, 0x55);
  std::optional<CTCPIPConnectionException> failure;
  // The first write may still be taken by the system; the peer's reset fails a later one.
  for (int i = 0; i < 50 && !failure; ++i) {
    failure = Thrown([&] { connection->Write(block.data(), static_cast<unsigned int>(block.size()), nullptr); });
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(failure);
  EXPECT_TRUE(failure->m_dwErrorCode == 0x30000000u + EPIPE || failure->m_dwErrorCode == kReset)
      << std::hex << failure->m_dwErrorCode;
  EXPECT_EQ(failure->m_nNumber, 9);
  EXPECT_STREQ(failure->m_szText, "Failed to send data on the connected socket!");
  EXPECT_STREQ(failure->m_szSystemCall, "Function send() failed!");
}

TEST(CTCPIPConnection, TransfersOnAClosedConnectionFail) {
  CTCPIPConnection connection;
  unsigned char byte = 0;
  for (const bool sending : {true, false}) {
    const auto failure = Thrown([&] {
      if (sending)
        connection.Write(&byte, 1, nullptr);
      else
        connection.Read(&byte, 1, nullptr);
    });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_dwErrorCode, kNotConnected);
    EXPECT_EQ(failure->m_nNumber, sending ? 9 : 11);
  }
}

TEST(CTCPIPConnection, CloseWaitsTheCloseWaitTimeAlsoWhenClosed) {
  CTCPIPConnection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<TCPIP CloseWaitTime='300'/>"));
  const auto start = Clock::now();
  connection.Close();
  EXPECT_GE(Clock::now() - start, 300ms);
  EXPECT_FALSE(connection.IsOpen());
}

TEST(CTCPIPConnection, CopiesShareTheSocket) {
  TestPeer peer;
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  CTCPIPConnection copy(*connection);
  EXPECT_TRUE(copy.IsOpen());
  EXPECT_EQ(static_cast<unsigned int>(copy), static_cast<unsigned int>(*connection));
  copy.Close();
  EXPECT_FALSE(connection->IsOpen());
}

TEST(CTCPIPConnection, OpeningAnOpenConnectionChangesNothing) {
  TestPeer peer;
  auto connection = ConnectionTo(peer);
  connection->Open();
  ASSERT_TRUE(peer.Accept());
  const unsigned int handle = *connection;
  DebugCapture capture;
  connection->Open();
  EXPECT_EQ(static_cast<unsigned int>(*connection), handle);
  EXPECT_NE(capture.Text().find("closed when Open is called"), std::string::npos);
}

TEST(CTCPIPConnection, IdentifyByNameKeepsTheResolvedAddressOnlyWhereNoneWasSet) {
  struct Case {
    std::string ipAddress;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{{"", "127.0.0.1"}, {"0.0.0.0", "127.0.0.1"}, {"10.9.9.9", "10.9.9.9"}}) {
    TestPeer peer;
    auto connection = ConnectionTo(peer, "IdentifyByName='true' NetworkName='localhost'");
    ASSERT_TRUE(connection->SetSettingsXML("<TCPIP IP-Address='" + c.ipAddress + "'/>"));
    connection->Open();  // to the resolved address in every case
    EXPECT_TRUE(peer.Accept());
    EXPECT_EQ(connection->GetSettingsValue("IP-Address"), c.expected) << "'" << c.ipAddress << "'";
    connection->Close();
  }
}

TEST(CTCPIPConnection, NameResolutionLooksTheNameUpAndNeverFailsOpen) {
  TestPeer peer;
  auto connection = ConnectionTo(peer, "NameResolution='true' NetworkName='before'");
  connection->Open();
  EXPECT_TRUE(peer.Accept());
  EXPECT_EQ(connection->GetSettingsValue("NetworkName"), CTCPIPConnection::GetHostByAddr("127.0.0.1", 0));
  EXPECT_NE(connection->GetSettingsValue("NetworkName"), "before");
}

TEST(CTCPIPConnection, NameThatDoesNotResolveFailsOpenWithTheLookUpTexts) {
  CTCPIPConnection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<TCPIP IdentifyByName='true' NetworkName='no-such-device.invalid'/>"));
  const auto failure = Thrown([&] { connection.Open(); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->m_nNumber, 15);
  EXPECT_STREQ(failure->m_szText, "Failed to get host information by host name!");
  EXPECT_STREQ(failure->m_szSystemCall, "gethostbyname() failed!");
  // Unknown, or no name server to ask in this sandbox.
  EXPECT_TRUE(failure->m_dwErrorCode == 0x30000000u + ENXIO || failure->m_dwErrorCode == 0x30000000u + EAGAIN)
      << std::hex << failure->m_dwErrorCode;
  EXPECT_EQ(connection.GetLastErrorCode(), failure->m_dwErrorCode);
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_FALSE(connection.GetSystemErrorAdvice().empty());
}

TEST(CTCPIPConnectionLookUp, StaticOperations) {
  char text[64] = {};
  EXPECT_EQ(CTCPIPConnection::GetAddrByHost("10.1.2.3", text), 0x0A010203u);
  EXPECT_STREQ(text, "10.1.2.3");

  const ORLA::CSockAddress address = CTCPIPConnection::GetHostByName("192.168.1.111", 6626);
  EXPECT_EQ(address.m_wFamily, 2);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&address.m_wPort);
  EXPECT_EQ(bytes[0], 0x19);  // 6626 = 0x19E2, network order
  EXPECT_EQ(bytes[1], 0xE2);
  EXPECT_EQ(Bytes(address.m_abyAddress, address.m_abyAddress + 4), (Bytes{192, 168, 1, 111}));

  const ORLA::CSockAddress loopback = CTCPIPConnection::GetHostByName("127.0.0.1", 1);
  EXPECT_EQ(CTCPIPConnection::GetHostByAddr(reinterpret_cast<const sockaddr*>(&loopback)),
            CTCPIPConnection::GetHostByAddr("127.0.0.1", 1));
  EXPECT_EQ(CTCPIPConnection::GetHostByAddr("not an address", 1), "");

  ORLA::CSockAddress otherFamily;
  otherFamily.m_wFamily = 10;
  const auto failure =
      Thrown([&] { CTCPIPConnection::GetHostByAddr(reinterpret_cast<const sockaddr*>(&otherFamily)); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->m_nNumber, 17);
  EXPECT_STREQ(failure->m_szSystemCall, "gethostbyaddr() failed! (AfxSocketInit() forgotten?)");
}
