#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "Communication/RS232Connection.h"
#include "Platform/ChildProcess.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "Platform/PseudoTerminal.h"
#include "TimedSends.h"
#include "TempFolder.h"
#include "TestProcesses.h"

using namespace std::chrono_literals;
using fennec::platform::ChildProcess;
using fennec::platform::DebugCapture;
using fennec::platform::PseudoTerminal;
using ORLA::CRS232Connection;
using Clock = std::chrono::steady_clock;

namespace {

// What a CRS232ConnectionException carries.
struct Failure {
  std::string text;
  int number = 0;
  std::string systemCall;
  std::uint32_t code = 0;

  bool operator==(const Failure&) const = default;
};

void PrintTo(const Failure& f, std::ostream* out) {
  *out << "{\"" << f.text << "\", " << f.number << ", \"" << f.systemCall << "\", 0x" << std::hex << f.code << "}";
}

template <class Action>
std::optional<Failure> FailureOf(Action action) {
  try {
    action();
  } catch (const ORLA::CRS232ConnectionException& e) {
    return Failure{e.m_szText, e.m_nNumber, e.m_szSystemCall, e.m_dwErrorCode};
  }
  return std::nullopt;
}

std::chrono::milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

std::vector<std::uint8_t> AllByteValues() {
  std::vector<std::uint8_t> bytes(256);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

const std::string kReportHead = "\n*************************** ERROR ***************************\n";
const std::string kReportFoot = "*************************************************************\n\n";

class CRS232ConnectionOnPty : public ::testing::Test {
 protected:
  void SetUp() override { Configure("timeout='300'"); }

  void Configure(const std::string& attributes) { ASSERT_TRUE(Configure(connection, attributes)); }
  bool Configure(CRS232Connection& target, const std::string& attributes) {
    return target.SetSettingsXML("<RS232 device='" + pty.SlavePath() + "' " + attributes + "/>");
  }

  std::vector<std::uint8_t> Read(unsigned int count) {
    std::vector<std::uint8_t> bytes(count);
    unsigned int read = 0;
    connection.Read(bytes.data(), count, &read);
    EXPECT_EQ(read, count);
    return bytes;
  }

  PseudoTerminal pty;
  CRS232Connection connection;
};

}  // namespace

TEST(CRS232ConnectionRawMode, EveryByteValuePassesUnchangedBothWaysInBothModes) {
  // The line starts as a terminal does (echo, line editing, CR/LF translation), so every byte
  // that arrives unchanged proves that Open switched to raw mode.
  PseudoTerminal pty(PseudoTerminal::Start::Cooked);
  CRS232Connection connection;
  for (const char* asynchron : {"true", "false"}) {
    SCOPED_TRACE(asynchron);
    ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='" + pty.SlavePath() + "' timeout='300' asynchron='" +
                                          asynchron + "'/>"));
    connection.Open();
    ASSERT_TRUE(pty.Send(AllByteValues()));
    std::vector<std::uint8_t> bytes(256);
    connection.Read(bytes.data(), 256, nullptr);
    EXPECT_EQ(bytes, AllByteValues());

    bytes = AllByteValues();
    unsigned int written = 0;
    connection.Write(bytes.data(), 256, &written);
    EXPECT_EQ(written, 256u);
    EXPECT_EQ(pty.Receive(256, 2s), AllByteValues());  // also nothing echoed back
    connection.Close();
  }
}

TEST_F(CRS232ConnectionOnPty, LineSettingsReachThePortAtTheNextOpen) {
  Configure("baudrate='115200' stopbits='1,5' cts_flow='true'");
  connection.Open();
  EXPECT_EQ(pty.SlaveLineSettings().baudRate, 115200u);
  EXPECT_EQ(pty.SlaveLineSettings().stopBits, fennec::platform::StopBits::Two);  // 1.5 falls back to 2
  EXPECT_TRUE(pty.SlaveLineSettings().ctsFlow);

  Configure("baudrate='0x4B00' stopbits='1' cts_flow='false'");
  EXPECT_EQ(pty.SlaveLineSettings().baudRate, 115200u);  // an open port is not reconfigured
  connection.Close();
  connection.Open();
  EXPECT_EQ(pty.SlaveLineSettings().baudRate, 19200u);
  EXPECT_EQ(pty.SlaveLineSettings().stopBits, fennec::platform::StopBits::One);
  EXPECT_FALSE(pty.SlaveLineSettings().ctsFlow);
}

TEST_F(CRS232ConnectionOnPty, WordsOutsideTheirTablesOpenWithTheFallbackAfterTheReport) {
  Configure("parity='X' stopbits='3' rts_control='on'");
  DebugCapture capture;
  connection.Open();
  EXPECT_TRUE(connection.IsOpen());
  EXPECT_EQ(pty.SlaveLineSettings().stopBits, fennec::platform::StopBits::One);
  const std::string classLine = "  Class:\t\tCRS232Connection\n";
  EXPECT_EQ(capture.Text(),
            kReportHead + classLine + "  Function:\tParityToDCBValue( )\n  Error:\t\tInvalid parity value 'X'\n" +
                kReportFoot + kReportHead + classLine +
                "  Function:\tStopBitsToDCBValue( )\n  Error:\t\tInvalid stop bit value '3'\n" + kReportFoot +
                kReportHead + classLine + "  Function:\tRTSControlToDCBValue( )\n  Error:\t\tInvalid RTSControl value 'on'\n" +
                kReportFoot);
}

TEST_F(CRS232ConnectionOnPty, ReadAndWriteOnAClosedConnectionFailWithPortNotOpen) {
  for (const auto& [asynchron, readNumber, writeNumber] : {std::tuple{"true", 4, 3}, std::tuple{"false", 6, 5}}) {
    SCOPED_TRACE(asynchron);
    Configure(std::string("asynchron='") + asynchron + "'");
    unsigned char byte = 0;
    fennec::platform::SetThreadLastError(0);
    EXPECT_EQ(FailureOf([&] { connection.Read(&byte, 1, nullptr); }),
              (Failure{"Read() failed!", readNumber, "Connection is not open!", 0x20020100}));
    EXPECT_EQ(fennec::platform::GetThreadLastError(), 0x20020100u);
    connection.ResetLastErrorCode();
    EXPECT_EQ(FailureOf([&] { connection.Write(&byte, 1, nullptr); }),
              (Failure{"Write() failed!", writeNumber, "Connection is not open!", 0x20020100}));
    EXPECT_EQ(connection.GetLastErrorCode(), 0x20020100u);
    EXPECT_FALSE(connection.IsOpen());
  }
  EXPECT_EQ(FailureOf([&] { connection.ClearBuffer(); }),
            (Failure{"ClearBuffer() failed!", 10, "::PurgeComm() failed!", 0x20020006}));
}

TEST_F(CRS232ConnectionOnPty, AsynchronousReadFailsWithNoAnswerInTimeAfterTheTimeOut) {
  connection.Open();
  // So many bytes that the bound of the whole Read, 2 x (300 ms + 8000 characters x 573 us) =
  // 9.8 s, lies far beyond one wait: a generous upper bound still tells the two apart.
  std::vector<std::uint8_t> bytes(8000);
  const auto start = Clock::now();
  EXPECT_EQ(FailureOf([&] { connection.Read(bytes.data(), static_cast<unsigned>(bytes.size()), nullptr); }),
            (Failure{"ReadAsynchron() failed!", 4, "WaitForSingleObject() timed out!", 0x20010200}));
  EXPECT_GE(Since(start), 295ms);
  EXPECT_LT(Since(start), 5s);  // one wait, not the bound of the whole Read
  EXPECT_EQ(fennec::platform::GetThreadLastError(), 0x20010200u);
  EXPECT_TRUE(connection.IsOpen());

  // A byte just inside the time-out is taken; one well after it is not.
  auto early = SendAfter(pty, 150ms, {0x42});
  EXPECT_EQ(Read(1), std::vector<std::uint8_t>{0x42});
  auto late = SendAfter(pty, 500ms, {0x43});
  EXPECT_EQ(FailureOf([&] { connection.Read(bytes.data(), 1, nullptr); })->code, 0x20010200u);
  late.join();
  EXPECT_EQ(Read(1), std::vector<std::uint8_t>{0x43});
}

TEST_F(CRS232ConnectionOnPty, OneAsynchronousReadIsBoundedEvenOnATricklingLine) {
  // Bound: 2 x (300 ms + 40 characters x 573 us) = 646 ms. A byte every 250 ms keeps each wait
  // short of the time-out, and would complete all 40 only after 10 s.
  connection.Open();
  auto trickle = Trickle(pty, 250ms, std::vector<std::uint8_t>(40, 0x55));
  std::vector<std::uint8_t> bytes(40);
  const auto start = Clock::now();
  EXPECT_EQ(FailureOf([&] { connection.Read(bytes.data(), static_cast<unsigned>(bytes.size()), nullptr); }),
            (Failure{"ReadAsynchron() failed!", 4, "WaitForSingleObject() timed out!", 0x20010200}));
  EXPECT_GE(Since(start), 600ms);
  EXPECT_LT(Since(start), 5s);
}

TEST_F(CRS232ConnectionOnPty, SynchronousReadWaitsUpToTheTimeOutForEachByte) {
  // Each gap 600 ms short of the time-out, so that a sender held up by a busy machine still
  // keeps within it.
  Configure("asynchron='false' timeout='1000'");
  connection.Open();
  {
    auto trickle = Trickle(pty, 400ms, {1, 2, 3});
    const auto start = Clock::now();
    EXPECT_EQ(Read(3), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_GE(Since(start), 1180ms);  // longer than one time-out in all
  }
  unsigned char byte = 0;
  const auto start = Clock::now();
  EXPECT_EQ(FailureOf([&] { connection.Read(&byte, 1, nullptr); }),
            (Failure{"ReadSynchron() failed!", 6, "::ReadFile() failed!", 0x20010000}));
  EXPECT_GE(Since(start), 995ms);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), 0x20010000u);
}

TEST_F(CRS232ConnectionOnPty, HangUpFailsTheReadAtOnceAndNeverAsAccessDenied) {
  Configure("timeout='20000'");
  connection.Open();
  std::jthread hangUp([this] {
    std::this_thread::sleep_for(100ms);
    pty.Cut();
  });
  std::vector<std::uint8_t> bytes(4);
  const auto start = Clock::now();
  EXPECT_EQ(FailureOf([&] { connection.Read(bytes.data(), 4, nullptr); }),
            (Failure{"ReadAsynchron() failed!", 4, "::ReadFile() failed!", 0x20010000}));
  EXPECT_LT(Since(start), 10s);  // at the hang-up, not at the time-out
  hangUp.join();

  // The line errors can no longer be asked for: EIO, which must not read as access denied.
  DebugCapture capture;
  EXPECT_EQ(FailureOf([&] { connection.Read(bytes.data(), 4, nullptr); }),
            (Failure{"ClearError() failed!", 12, "::ClearCommError() failed!", 0x20010000}));
  EXPECT_EQ(capture.Text(), kReportHead + "  Class:\t\tCRS232Connection\n  Function:\tClearError( )\n"
                                          "  Error:\t\tioctl(TIOCGICOUNT) on " +
                                pty.SlavePath() + " failed: errno 5 (Input/output error)\n" + kReportFoot);
  Configure("asynchron='false'");
  EXPECT_EQ(FailureOf([&] { connection.Write(bytes.data(), 4, nullptr); }),
            (Failure{"WriteSynchron() failed!", 5, "::WriteFile() failed!", 0x20010000}));
}

TEST_F(CRS232ConnectionOnPty, ReadFragmentReadsTheHeaderThenTheAnnouncedBody) {
  connection.Open();
  std::vector<std::uint8_t> message(18, 0xA5);
  message[16] = 0x04;
  message[17] = 0x00;
  for (std::uint8_t b : {1, 2, 3, 4, 0xEE, 0xEF}) message.push_back(b);  // 4 body bytes, then 2 of the next message
  ASSERT_TRUE(pty.Send(message));

  unsigned char* buffer = nullptr;
  unsigned int total = 0;
  ASSERT_TRUE(connection.ReadFragment(&buffer, &total));
  EXPECT_EQ(total, 22u);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 22), std::vector<std::uint8_t>(message.begin(), message.begin() + 22));
  // A length field wider than four bytes reads nothing and keeps the caller's block.
  EXPECT_FALSE(connection.ReadFragment(&buffer, 0, 5, 0, &total));
  EXPECT_EQ(buffer[21], 4);
  delete[] buffer;
  EXPECT_EQ(Read(2), (std::vector<std::uint8_t>{0xEE, 0xEF}));
}

TEST_F(CRS232ConnectionOnPty, OpenOnAnOpenConnectionChangesNothingButTheLastError) {
  Configure("timeout='50'");
  connection.Open();
  unsigned char byte = 0;
  EXPECT_TRUE(FailureOf([&] { connection.Read(&byte, 1, nullptr); }));
  ASSERT_EQ(connection.GetLastErrorCode(), 0x20010200u);

  ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(Read(1), std::vector<std::uint8_t>{1});  // the rest is queued now
  connection.Open();
  EXPECT_EQ(connection.GetLastErrorCode(), 0u);
  EXPECT_TRUE(connection.IsOpen());
  EXPECT_EQ(Read(2), (std::vector<std::uint8_t>{2, 3}));  // not reopened, nothing discarded
}

TEST_F(CRS232ConnectionOnPty, SecondOpenerIsRefusedWithAccessDeniedAndToldWhoHoldsThePort) {
  connection.Open();
  CRS232Connection second;
  ASSERT_TRUE(Configure(second, ""));
  DebugCapture capture;
  fennec::platform::SetThreadLastError(0);
  EXPECT_EQ(FailureOf([&] { second.Open(); }),
            (Failure{"OpenCommResource() failed!", 1, "::CreateFile() failed", 0x20020005}));
  EXPECT_EQ(second.GetLastErrorCode(), 0x20020005u);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), 0x20020005u);
  EXPECT_FALSE(second.IsOpen());
  const std::string advice = "The port " + pty.SlavePath() + " is in use by process " + OwnPid() +
                             " (tst_crs232conne): close that program and try again.";
  EXPECT_EQ(second.GetSystemErrorAdvice(), advice);
  EXPECT_NE(capture.Text().find("  Advice:\t" + advice + "\n"), std::string::npos) << capture.Text();

  connection.Close();
  second.Open();
  EXPECT_TRUE(second.IsOpen());
  EXPECT_EQ(second.GetSystemErrorAdvice(), "");
}

TEST_F(CRS232ConnectionOnPty, CopiesShareThePortUntilOneOfThemOpensAgain) {
  connection.Open();
  CRS232Connection copy(connection);
  EXPECT_TRUE(copy.IsOpen());
  copy.Close();
  EXPECT_FALSE(connection.IsOpen());

  connection.Open();
  EXPECT_FALSE(copy.IsOpen());
  CRS232Connection assigned;
  assigned = connection;
  EXPECT_TRUE(assigned.IsOpen());
  EXPECT_EQ(assigned.GetSettingsXML(), connection.GetSettingsXML());
}

TEST_F(CRS232ConnectionOnPty, MissingDeviceFailsWithNotFound) {
  Configure("");
  ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='/dev/fennec-no-such-port'/>"));
  DebugCapture capture;
  EXPECT_EQ(FailureOf([&] { connection.Open(); }),
            (Failure{"OpenCommResource() failed!", 1, "::CreateFile() failed", 0x20020002}));
  const std::string advice =
      "There is no port /dev/fennec-no-such-port: check the port name and that the adapter is plugged in.";
  EXPECT_EQ(connection.GetSystemErrorAdvice(), advice);
  EXPECT_EQ(capture.Text(), kReportHead + "  Class:\t\tCRS232Connection\n  Function:\tOpenCommResource( )\n"
                                          "  Error:\t\topen on /dev/fennec-no-such-port failed: errno 2 (No such file "
                                          "or directory)\n  Advice:\t" +
                                advice + "\n" + kReportFoot);

  // COMn names the legacy ports; the settings keep the name as given.
  ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='com99'/>"));
  EXPECT_EQ(FailureOf([&] { connection.Open(); })->code, 0x20020002u);
  EXPECT_NE(connection.GetSystemErrorAdvice().find("/dev/ttyS98"), std::string::npos);
  EXPECT_EQ(connection.GetSettingsString(), "com99: 19200, e, 8, 1");
}

// A name that leads to something other than a serial port is refused with the codes it always
// had; the advice says what the name leads to.
TEST(CRS232ConnectionOnOtherNodes, ANodeThatIsNoTerminalIsNamedForWhatItIs) {
  TempFolder folder;
  const std::filesystem::path file = folder.Path() / "port.txt";
  std::ofstream(file) << "not a port";
  const struct {
    std::string path;
    std::string kind;
  } cases[] = {
      {file.string(), "a regular file"},
      {folder.Path().string(), "a folder"},
      {"/dev/null", "a device that is not a terminal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    CRS232Connection connection;
    ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='" + c.path + "'/>"));
    DebugCapture capture;
    EXPECT_EQ(FailureOf([&] { connection.Open(); }),
              (Failure{"OpenCommResource() failed!", 1, "::CreateFile() failed", 0x2002001F}));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.GetSystemErrorAdvice(), c.path + " is not a serial port: it is " + c.kind +
                                                     ". Name the device of a serial port, such as /dev/ttyUSB0.");
  }
  EXPECT_EQ(ReadText(file), "not a port");
}

TEST(CRS232ConnectionOnACutLine, ALineThatWentAwaySaysItWasHungUpOrUnplugged) {
  for (const bool reading : {true, false}) {
    SCOPED_TRACE(reading ? "read" : "write");
    PseudoTerminal line;
    CRS232Connection connection;
    ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='" + line.SlavePath() + "' timeout='300'/>"));
    connection.Open();
    line.Cut();
    unsigned char byte = 0x30;
    EXPECT_TRUE(FailureOf([&] { reading ? connection.Read(&byte, 1, nullptr) : connection.Write(&byte, 1, nullptr); }));
    EXPECT_EQ(connection.GetSystemErrorAdvice(),
              "The port " + line.SlavePath() +
                  " failed with an input/output error: the line was hung up or the adapter unplugged. Check the "
                  "adapter and its cable, then try again.");
    connection.Close();
  }
}

TEST_F(CRS232ConnectionOnPty, PortHeldBySecondProcessNamesThatProcess) {
  TempFolder folder;
  const std::filesystem::path ready = folder.Path() / "ready";
  // Killed and reaped when the test ends, however it ends.
  auto holder = ChildProcess::Start(PORT_HOLDER, {pty.SlavePath(), ready.string()}, folder.Path() / "holder.txt");
  ASSERT_TRUE(holder);
  const auto start = Clock::now();
  while (!std::filesystem::exists(ready) && Since(start) < 10s) std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(std::filesystem::exists(ready)) << "the holder did not open the port";
  std::string pid = ReadText(ready);
  pid.pop_back();

  EXPECT_EQ(FailureOf([&] { connection.Open(); })->code, 0x20020005u);
  EXPECT_EQ(connection.GetSystemErrorAdvice(), "The port " + pty.SlavePath() + " is in use by process " + pid +
                                                   " (port_holder): close that program and try again.");
  pty.Cut();
  EXPECT_EQ(holder->Wait(Clock::now() + 10s), 0) << "the holder sees the hang-up and ends";
}

class CRS232ConnectionAsOtherUser : public CRS232ConnectionOnPty {
 protected:
  void SetUp() override {
    CRS232ConnectionOnPty::SetUp();
    if (!RunningAsRoot()) GTEST_SKIP() << "only root can start the opener as another user";
    if (!Succeeds("command -v runuser >/dev/null && id -u nobody >/dev/null 2>&1"))
      GTEST_SKIP() << "no runuser or no user 'nobody' to drop privileges to";
  }

  // Runs the opener as 'nobody': the code of its attempt and its advice.
  std::string OpenAsNobody() {
    const std::filesystem::path out = m_folder.Path() / "opener.txt";
    EXPECT_TRUE(Succeeds("runuser -u nobody -- " + std::string(PORT_OPENER) + " '" + pty.SlavePath() + "' > '" +
                         out.string() + "'"));
    return ReadText(out);
  }

  TempFolder m_folder;
};

TEST_F(CRS232ConnectionAsOtherUser, PermissionDeniedAdviceFollowsTheModeAndGroupOfTheDeviceNode) {
  const std::string path = pty.SlavePath();
  ASSERT_TRUE(Succeeds("chgrp dialout '" + path + "' && chmod 0660 '" + path + "'"));
  EXPECT_EQ(OpenAsNobody(), "0x20020005\nPermission denied on " + path +
                                ": the port belongs to group 'dialout', which may read and write it. To use it, add "
                                "the user to group dialout (sudo usermod -a -G dialout nobody), then log in again.\n");

  // Only the owner: a group to join would not help, a udev rule does.
  ASSERT_TRUE(Succeeds("chmod 0600 '" + path + "'"));
  const std::string ownerOnly = OpenAsNobody();
  EXPECT_TRUE(ownerOnly.starts_with("0x20020005\nPermission denied on " + path +
                                    ": only its owner 'root' may read and write it (mode 0600, owner 'root', group "
                                    "'dialout').\nGive it to group dialout with a udev rule"))
      << ownerOnly;
  EXPECT_NE(ownerOnly.find("sudo udevadm control --reload-rules && sudo udevadm trigger"), std::string::npos);
}

TEST_F(CRS232ConnectionAsOtherUser, ExclusiveFlagKeepsOthersOutAndIsClearedOnClose) {
  std::filesystem::permissions(pty.SlavePath(), std::filesystem::perms::all & ~std::filesystem::perms::others_exec &
                                                    ~std::filesystem::perms::group_exec & ~std::filesystem::perms::owner_exec);
  connection.Open();
  const std::string refused = OpenAsNobody();
  EXPECT_TRUE(refused.starts_with("0x20020005\n")) << refused;
  EXPECT_NE(refused.find("in use by process " + OwnPid()), std::string::npos) << refused;

  connection.Close();
  EXPECT_EQ(OpenAsNobody(), "0x00000000\n");
}

TEST_F(CRS232ConnectionOnPty, AsynchronousWriteDiscardsWhatWasLeftUnread) {
  for (const auto& [asynchron, expectLeftover] : {std::pair{"true", false}, std::pair{"false", true}}) {
    SCOPED_TRACE(asynchron);
    Configure(std::string("asynchron='") + asynchron + "' timeout='100'");
    connection.Open();
    ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{9, 8, 7}));
    EXPECT_EQ(Read(1), std::vector<std::uint8_t>{9});  // 8 and 7 are queued now
    unsigned char request = 0x30;
    connection.Write(&request, 1, nullptr);
    EXPECT_EQ(pty.Receive(1, 1s), std::vector<std::uint8_t>{0x30});
    unsigned char leftover[2] = {};
    const bool read = !FailureOf([&] { connection.Read(leftover, 2, nullptr); });
    EXPECT_EQ(read, expectLeftover);
    connection.Close();
  }
}

// After a failed exchange the rest of the device's telegram may still be on its way: a purge
// alone would leave it for the next read. At 110 baud the line counts as quiet after four
// characters, 400 ms, so that a sender held up by a busy machine does not end the drain early.
TEST_F(CRS232ConnectionOnPty, ClearBufferDiscardsWhatStillArrivesUntilTheLineFallsQuiet) {
  for (const char* asynchron : {"true", "false"}) {
    SCOPED_TRACE(asynchron);
    Configure(std::string("asynchron='") + asynchron + "' baudrate='110' timeout='5000'");
    connection.Open();
    // A byte every 25 ms, 500 ms in all: each gap far short of the 400 ms of quiet.
    auto trickle = Trickle(pty, 25ms, std::vector<std::uint8_t>(20, 0x55));
    EXPECT_EQ(Read(1), std::vector<std::uint8_t>{0x55});
    const auto start = Clock::now();
    connection.ClearBuffer();
    EXPECT_GE(Since(start), 450ms) << "drained to the last byte";
    EXPECT_LT(Since(start), 5s) << "the line fell quiet before the time-out";
    trickle.join();
    ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{0x42}));
    EXPECT_EQ(Read(1), std::vector<std::uint8_t>{0x42});
    connection.Close();
  }
}

TEST_F(CRS232ConnectionOnPty, ClearBufferEndsAtTheTimeOutOnALineThatNeverFallsQuiet) {
  // 400 ms of quiet at 110 baud; a byte every 25 ms for 10 s.
  Configure("baudrate='110' timeout='1000'");
  connection.Open();
  auto trickle = Trickle(pty, 25ms, std::vector<std::uint8_t>(400, 0x55));
  EXPECT_EQ(Read(1), std::vector<std::uint8_t>{0x55});
  const auto start = Clock::now();
  connection.ClearBuffer();
  EXPECT_GE(Since(start), 995ms);
  EXPECT_LT(Since(start), 5s);
}

TEST_F(CRS232ConnectionOnPty, WriteHandsOverWhatFitsWithinTheTimeOut) {
  Configure("timeout='150'");
  for (const char* asynchron : {"true", "false"}) {
    SCOPED_TRACE(asynchron);
    Configure(std::string("asynchron='") + asynchron + "'");
    connection.Open();
    std::vector<std::uint8_t> bytes(1 << 20, 0x55);  // far more than the line holds while nobody reads
    unsigned int written = 0;
    const auto start = Clock::now();
    connection.Write(bytes.data(), static_cast<unsigned int>(bytes.size()), &written);
    EXPECT_GE(Since(start), 145ms);
    EXPECT_LT(Since(start), 5s);  // at the time-out, not when a reader comes
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, bytes.size());
    EXPECT_EQ(connection.GetLastErrorCode(), 0u);
    connection.Close();
  }
}

TEST_F(CRS232ConnectionOnPty, ZeroBytesAskedReturnAtOnceWithoutTakingAByte) {
  for (const char* asynchron : {"true", "false"}) {
    SCOPED_TRACE(asynchron);
    Configure(std::string("asynchron='") + asynchron + "'");
    connection.Open();
    ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{4, 5}));
    EXPECT_EQ(Read(1), std::vector<std::uint8_t>{4});
    unsigned char guard = 0xEE;
    unsigned int read = 99;
    connection.Read(&guard, 0, &read);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(guard, 0xEE);
    EXPECT_EQ(Read(1), std::vector<std::uint8_t>{5});
    connection.Close();
  }
}

TEST_F(CRS232ConnectionOnPty, NullBufferIsRefusedWithoutTouchingTheLine) {
  connection.Open();
  ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{6}));
  DebugCapture capture;
  EXPECT_EQ(FailureOf([&] { connection.Read(nullptr, 4, nullptr); }),
            (Failure{"Read() failed!", 4, "::ReadFile() failed!", 0x20010057}));
  EXPECT_EQ(FailureOf([&] { connection.Write(nullptr, 4, nullptr); }),
            (Failure{"Write() failed!", 3, "::WriteFile() failed!", 0x20010057}));
  EXPECT_NE(capture.Text().find("Assertion failed: buffer != nullptr || count == 0"), std::string::npos);
  EXPECT_EQ(Read(1), std::vector<std::uint8_t>{6});
}
