#include <gtest/gtest.h>

#include <thread>

#include "Communication/RS232Connection.h"
#include "LineClient.h"
#include "Platform/ChildProcess.h"
#include "Platform/StoreFile.h"
#include "SIOService.h"
#include "TempFolder.h"
#include "WholeDeviceRead.h"

using fennec::platform::ChildProcess;
using simtest::kRead124;
using simtest::Words;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The simulator as a separate process; the first line it prints is its terminal.
struct Simulator {
  explicit Simulator(const std::vector<std::string>& arguments, const std::filesystem::path& standardError = {})
      : process(ChildProcess::Start(FENNEC_SIM, arguments, standardError)) {
    if (process) terminal = process->ReadLine(Clock::now() + 5s).value_or("");
  }

  std::optional<ChildProcess> process;
  std::string terminal;
};

std::string Contents(const std::filesystem::path& file) { return fennec::platform::ReadWholeFile(file).value_or(""); }

}  // namespace

TEST(SimulatorProgram, HelpGoesToStandardOutput) {
  auto process = ChildProcess::Start(FENNEC_SIM, {"--help"});
  ASSERT_TRUE(process);
  EXPECT_EQ(process->ReadLine(Clock::now() + 5s), "Usage: fennec-sim [OPTION]...");
  EXPECT_EQ(process->Wait(Clock::now() + 5s), 0);
}

TEST(SimulatorProgram, AWrongOptionEndsWithCode2AndTheReason) {
  TempFolder folder;
  auto process = ChildProcess::Start(FENNEC_SIM, {"--baud", "fast"}, folder.Path() / "stderr.txt");
  ASSERT_TRUE(process);
  EXPECT_EQ(process->Wait(Clock::now() + 5s), 2);
  EXPECT_NE(Contents(folder.Path() / "stderr.txt").find("--baud must be a number"), std::string::npos);
}

TEST(SimulatorProgram, ServesOnItsLinkUntilTerminated) {
  TempFolder folder;
  const auto link = folder.Path() / "dev";
  Simulator simulator({"--profile", "fbc16", "--link", link.string(), "--serial-number", "SIM-0001"});
  ASSERT_TRUE(simulator.process);
  ASSERT_TRUE(simulator.terminal.starts_with("/dev/")) << simulator.terminal;
  ASSERT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::filesystem::read_symlink(link), simulator.terminal);

  LineClient client(link.string());
  ASSERT_TRUE(client.IsOpen());
  auto registers = client.Client();
  EXPECT_EQ(simtest::UnpackTexts(registers.Service(1, 8).results, 4)[0], "716-312");
  EXPECT_EQ(simtest::UnpackTexts(registers.Service(1, 13).results, 1)[0], "SIM-0001");
  EXPECT_EQ(registers.Read(124, 0, 1).rejection, 0x8200);

  EXPECT_EQ(simulator.process->Terminate(Clock::now() + 5s), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimulatorProgram, ItsLinkFollowsTheLineAfterAHangUp) {
  TempFolder folder;
  const auto link = folder.Path() / "dev";
  Simulator simulator({"--link", link.string(), "--fault-rate", "100%", "--fault-kinds", "hangup", "-v"},
                      folder.Path() / "stderr.txt");
  ASSERT_TRUE(simulator.process);
  std::string terminal = simulator.terminal;
  for (int hangUp = 0; hangUp < 2; ++hangUp) {
    LineClient client(link.string());
    ASSERT_TRUE(client.IsOpen()) << hangUp;
    EXPECT_EQ(client.Exchange(kRead124, 2s), std::nullopt);
    const std::filesystem::path moved = std::filesystem::read_symlink(link);
    EXPECT_NE(moved, terminal) << hangUp;
    terminal = moved.string();
  }
  EXPECT_EQ(simulator.process->Terminate(Clock::now() + 5s), 0) << "a hang-up does not end the program";
  EXPECT_NE(Contents(folder.Path() / "stderr.txt").find("random fault: hang-up"), std::string::npos);
}

// The program as a technician would start it, read through its link by the library alone.
TEST(SimulatorProgram, ServesADeviceTheLibraryReadsCompletely) {
  TempFolder folder;
  const auto link = folder.Path() / "dev";
  Simulator simulator({"--profile", "fbc32", "--link", link.string()});
  ASSERT_TRUE(simulator.process);
  ASSERT_TRUE(std::filesystem::is_symlink(link)) << simulator.terminal;

  ORLA::CRS232Connection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='" + link.string() + "' timeout='500'/>"));
  connection.Open();
  CSIOService service(&connection);
  const fennec::client::WholeDeviceRead read = fennec::client::ReadWholeDevice(service);
  connection.Close();
  EXPECT_EQ(simulator.process->Terminate(Clock::now() + 5s), 0);

  ASSERT_TRUE(read.Complete()) << read.failedStep << ": 0x" << std::hex << read.failure;
  EXPECT_EQ(read.orderNumber, "716-341");
  EXPECT_EQ(read.description, "ETHERNET FBC 100MBIT");
  EXPECT_EQ(read.hardwareVersion, "03");
  EXPECT_EQ(read.softwareVersion, "01.07.12(09)");
  EXPECT_EQ(read.serialNumber, "0716341-21C4-000117");
  EXPECT_EQ(read.firmwareLoaderVersion, "01.02.05");
  EXPECT_EQ(read.networkKind, "MAC-ID");
  EXPECT_EQ(read.networkValue, "02:4F:52:10:34:11");
  EXPECT_TRUE(read.clockSeconds.has_value());
  EXPECT_EQ(read.tables, (std::vector<tFBCTable>{tFBCTable::Make(127, 2), tFBCTable::Make(124, 11),
                                                 tFBCTable::Make(100, 80), tFBCTable::Make(99, 44),
                                                 tFBCTable::Make(0, 32)}));
  EXPECT_EQ(read.table0, Words(32, 0));
  ASSERT_EQ(read.table100.size(), 80u);
  EXPECT_EQ(Words(read.table100.begin() + 9, read.table100.begin() + 15),
            (Words{0xA8C0, 0x1101, 0xFFFF, 0x00FF, 0xA8C0, 0x0101}))  // 192.168.1.17/24, gateway .1
      << "IP address, subnet mask, gateway";
  EXPECT_EQ(read.table100[59], 80) << "HTTP port";
}

TEST(SimulatorProgram, SavedParametersOutliveTheProcessInTheStateFile) {
  TempFolder folder;
  const auto state = folder.Path() / "memory.txt";
  {
    Simulator simulator({"--state", state.string(), "--save-time", "50"});
    ASSERT_TRUE(simulator.process);
    LineClient client(simulator.terminal);
    auto registers = client.Client();
    ASSERT_TRUE(registers.EnableWriting());
    ASSERT_TRUE(registers.Write(100, 59, {8080}).Good());
    ASSERT_EQ(registers.Service(1, 5, {}, 0).status, 0);
    EXPECT_EQ(simulator.process->Terminate(Clock::now() + 5s), 0);
  }
  EXPECT_TRUE(Contents(state).starts_with("fennec-sim non-volatile memory 1\nprofile fbc32\n"));

  Simulator simulator({"--state", state.string()});
  ASSERT_TRUE(simulator.process);
  LineClient client(simulator.terminal);
  EXPECT_EQ(client.Client().Read(100, 59, 1).words, Words{8080});
}

TEST(SimulatorProgram, AStateFileOfAnotherProfileIsRefused) {
  TempFolder folder;
  const auto state = folder.Path() / "memory.txt";
  {
    Simulator simulator({"--profile", "fbc16", "--state", state.string()});
    ASSERT_TRUE(simulator.process);
    LineClient client(simulator.terminal);
    ASSERT_EQ(client.Client().Service(1, 5, {}, 0).status, 0);
    EXPECT_EQ(simulator.process->Terminate(Clock::now() + 5s), 0);
  }
  const std::string saved = Contents(state);
  auto process = ChildProcess::Start(FENNEC_SIM, {"--state", state.string()}, folder.Path() / "stderr.txt");
  ASSERT_TRUE(process);
  EXPECT_EQ(process->Wait(Clock::now() + 5s), 1);
  EXPECT_NE(Contents(folder.Path() / "stderr.txt").find("profile 'fbc16'"), std::string::npos);
  EXPECT_EQ(Contents(state), saved);
}

TEST(SimulatorProgram, VerboseLogsEachExchange) {
  TempFolder folder;
  Simulator simulator({"-v"}, folder.Path() / "stderr.txt");
  ASSERT_TRUE(simulator.process);
  LineClient client(simulator.terminal);
  ASSERT_TRUE(client.Exchange(kRead124));
  EXPECT_EQ(simulator.process->Terminate(Clock::now() + 5s), 0);
  const std::string log = Contents(folder.Path() / "stderr.txt");
  EXPECT_NE(log.find("<- FD 02 0C 00 00 01 52 00 7C 00 DA 01  read table 124 from 0, 1 register(s)"), std::string::npos) << log;
  EXPECT_NE(log.find("-> 02 FD 0E 00 00 01 72 00 7C 00 16 00 12 02"), std::string::npos) << log;
}

TEST(SimulatorProgram, ACutLineEndsTheProgram) {
  Simulator simulator({"--cut-after", "1", "--drop", "1"});
  ASSERT_TRUE(simulator.process);
  LineClient client(simulator.terminal);
  EXPECT_EQ(client.Exchange(kRead124, 200ms), std::nullopt) << "the dropped request counts as an exchange";
  EXPECT_EQ(simulator.process->Wait(Clock::now() + 5s), 0);
}

// The write action of the program, step by step: enable, register 26 of table 0, all of
// table 100 in two fragments, save and poll the save state, restart, probe until the device
// is back, read again.
TEST(SimulatorProgram, AWriteActionSurvivesTheRestart) {
  Simulator simulator({"--restart-silence", "300", "--save-time", "50"});
  ASSERT_TRUE(simulator.process);
  LineClient client(simulator.terminal);
  auto registers = client.Client();

  Words table100 = registers.Read(100, 0, 44).words;
  const Words rest = registers.Read(100, 44, 36).words;
  table100.insert(table100.end(), rest.begin(), rest.end());
  ASSERT_EQ(table100.size(), 80u);
  table100[59] = 8080;
  table100[25] = 0x696C;  // host name "li"

  ASSERT_TRUE(registers.EnableWriting());
  ASSERT_TRUE(registers.Write(0, 26, {0x0010}).Good());
  ASSERT_TRUE(registers.Write(100, 0, Words(table100.begin(), table100.begin() + 44)).Good());
  ASSERT_TRUE(registers.Write(100, 44, Words(table100.begin() + 44, table100.end())).Good());
  ASSERT_EQ(registers.Service(1, 5, {}, 0).status, 0);
  Words states;
  for (int poll = 0; poll < 100 && (states.empty() || states.back() != 2); ++poll) {
    states.push_back(registers.Read(127, 1, 1).words.at(0));
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(states.front(), 1);
  EXPECT_EQ(states.back(), 2);

  ASSERT_TRUE(registers.EnableWriting());
  ASSERT_EQ(registers.Service(1, 2, {}, 0).status, 0);
  int unanswered = 0;
  while (!client.Exchange(simtest::ReadRequest(0, 0, 1), 100ms) && unanswered < 20) ++unanswered;
  EXPECT_GE(unanswered, 2) << "silent for 300 ms";
  EXPECT_LT(unanswered, 20);

  EXPECT_EQ(registers.Read(0, 26, 1).words, Words{0x0010});
  EXPECT_EQ(registers.Read(100, 44, 36).words, Words(table100.begin() + 44, table100.end()));
  EXPECT_EQ(registers.Read(100, 0, 44).words, Words(table100.begin(), table100.begin() + 44));
}
