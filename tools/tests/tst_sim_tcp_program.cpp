// fennec-sim on the network road: its options, and the program as a process that the library
// reads over TCP.
#include <gtest/gtest.h>

#include <chrono>

#include "CommandLine.h"
#include "Communication/TCPIPConnection.h"
#include "Platform/ChildProcess.h"
#include "TCPIPService.h"
#include "WholeDeviceRead.h"

using fennec::platform::ChildProcess;
using fennec::sim::ParseCommandLine;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

fennec::sim::ParsedCommandLine Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }

}  // namespace

TEST(NetworkCommandLine, TcpPortAndFaults) {
  const auto parsed = Parse({"--tcp", "0", "--net-repeat", "3:2", "--net-error-abort=2", "--net-wrong-id", "1",
                             "--net-wrong-request", "4", "--net-long-length", "5", "--net-close", "6", "--net-delay",
                             "1500"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->tcpPort, 0);
  const fennec::sim::NetworkFaults& faults = parsed.options->simulator.networkFaults;
  ASSERT_TRUE(faults.repeat);
  EXPECT_EQ(faults.repeat->fragment, 3);
  EXPECT_EQ(faults.repeat->packet, 2);
  EXPECT_EQ(faults.errorAbortNext, 2u);
  EXPECT_EQ(faults.wrongIdentifierNext, 1u);
  EXPECT_EQ(faults.wrongRequestNumberNext, 4u);
  EXPECT_EQ(faults.overstateLengthNext, 5u);
  EXPECT_EQ(faults.closeInsideRequestNext, 6u);
  EXPECT_EQ(faults.delay, 1500ms);
  EXPECT_FALSE(Parse({}).options->tcpPort);
}

TEST(NetworkCommandLine, ValuesThatCannotBe) {
  for (const auto& [arguments, problem] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--tcp", "65536"}, "--tcp must be a number from 0 to 65535"},
           {{"--tcp", "-1"}, "--tcp must be a number"},
           {{"--net-repeat", "3"}, "--net-repeat takes FRAGMENT:PACKET"},
           {{"--net-repeat", "0:1"}, "--net-repeat needs a fragment number from 1"},
           {{"--net-delay", "soon"}, "a time in milliseconds"},
       }) {
    const auto parsed = Parse(arguments);
    EXPECT_FALSE(parsed.options) << arguments[0];
    EXPECT_NE(parsed.error.find(problem), std::string::npos) << parsed.error;
  }
}

TEST(SimulatorProgramOnTcp, SecondLineNamesThePortTheLibraryReads) {
  auto process = ChildProcess::Start(FENNEC_SIM, {"--profile", "fbc16", "--tcp", "0", "--net-wrong-id", "1"});
  ASSERT_TRUE(process);
  const std::string terminal = process->ReadLine(Clock::now() + 5s).value_or("");
  const std::string address = process->ReadLine(Clock::now() + 5s).value_or("");
  EXPECT_TRUE(terminal.starts_with("/dev/")) << terminal;
  ASSERT_TRUE(address.starts_with("127.0.0.1:")) << address;
  const std::string port = address.substr(std::string("127.0.0.1:").size());

  ORLA::CTCPIPConnection connection;
  ASSERT_TRUE(
      connection.SetSettingsXML("<TCPIP IP-Address='127.0.0.1' ServicePort='" + port + "' CloseWaitTime='0'/>"));
  connection.Open();
  CTCPIPService service(&connection);
  std::uint16_t word = 0;
  EXPECT_FALSE(service.ReadRegister(0, 0, 0, 1, &word));  // the injected wrong identifier
  EXPECT_EQ(service.GetLastErrorCode(), 0x2002000Du);
  const fennec::client::WholeDeviceRead read = fennec::client::ReadWholeDevice(service);
  EXPECT_TRUE(read.Complete()) << read.failedStep;
  EXPECT_EQ(read.orderNumber, "716-312");
  EXPECT_EQ(read.table100.size(), 8u);
  connection.Close();
  EXPECT_EQ(process->Terminate(Clock::now() + 5s), 0);
}
