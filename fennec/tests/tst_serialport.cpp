#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include "Platform/LineErrors.h"
#include "Platform/PortAdvice.h"
#include "Platform/PortHolders.h"
#include "Platform/PortNode.h"
#include "Platform/PseudoTerminal.h"
#include "Platform/SerialDeviceName.h"
#include "Platform/SerialPort.h"
#include "Platform/SerialPortList.h"
#include "Platform/SystemError.h"
#include "Platform/TermiosSettings.h"
#include "TempFolder.h"
#include "TestProcesses.h"

using namespace fennec::platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

LineSettings Settings8N1() { return LineSettings{}; }

// A termios as a terminal is left in cooked mode, so that raw mode has something to undo.
termios CookedTermios() {
  termios t{};
  t.c_iflag = ICRNL | IXON | IXOFF | INLCR | ISTRIP | BRKINT;
  t.c_oflag = OPOST | ONLCR;
  t.c_lflag = ECHO | ECHOE | ICANON | ISIG | IEXTEN;
  t.c_cflag = CS7 | PARENB | PARODD | CRTSCTS;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 5;
  cfsetospeed(&t, B9600);
  cfsetispeed(&t, B9600);
  return t;
}

std::chrono::milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

}  // namespace

TEST(ErrnoMapping, GivesWindowsMeaningsAndNeverTheRawErrno) {
  struct Row {
    int error;
    std::uint16_t setup;
    std::uint16_t transfer;
  };
  const Row rows[] = {
      {ENOENT, 0x0002, 0x0002}, {ENODEV, 0x0002, 0x0002}, {ENXIO, 0x0002, 0x0002},  {EACCES, 0x0005, 0x0005},
      {EPERM, 0x0005, 0x0005},  {EBUSY, 0x0005, 0x0005},  {EWOULDBLOCK, 0x0005, 0x0005}, {EBADF, 0x0006, 0x0006},
      // EIO is 5 and must not read as "access denied"; EINVAL and ENOTTY have no Windows meaning.
      {EIO, 0x001F, 0x0000},    {EINVAL, 0x001F, 0x0000}, {ENOTTY, 0x001F, 0x0000},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(WindowsErrorOf(row.error, ErrnoContext::PortSetup), row.setup) << "errno " << row.error;
    EXPECT_EQ(WindowsErrorOf(row.error, ErrnoContext::Transfer), row.transfer) << "errno " << row.error;
  }
  EXPECT_EQ(ErrnoText(ENOENT), "errno 2 (No such file or directory)");
}

TEST(SerialDeviceName, MapsComNamesAndNamesBelowDev) {
  const std::pair<const char*, const char*> rows[] = {
      {"COM1", "/dev/ttyS0"},      {"com10", "/dev/ttyS9"},   {"Com3", "/dev/ttyS2"},
      {"ttyUSB0", "/dev/ttyUSB0"}, {"/dev/pts/4", "/dev/pts/4"}, {"COM0", "/dev/COM0"},
      {"COM", "/dev/COM"},         {"COM1a", "/dev/COM1a"},   {"COM-1", "/dev/COM-1"},
  };
  for (const auto& [name, path] : rows) EXPECT_EQ(SerialDevicePath(name), path) << name;
}

TEST(ApplyLineSettings, SwitchesToRawModeWithTheLineSettings) {
  termios t = CookedTermios();
  LineSettings settings;
  settings.parity = Parity::Even;
  ASSERT_TRUE(ApplyLineSettings(t, settings));

  EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF | INLCR | ISTRIP | BRKINT), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), static_cast<tcflag_t>(PARENB));
  EXPECT_NE(t.c_iflag & INPCK, 0u);
  EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
  EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B19200));
}

TEST(ApplyLineSettings, ParityStopBitsAndFlowControl) {
  const std::pair<Parity, tcflag_t> parities[] = {{Parity::None, 0},
                                                  {Parity::Odd, PARENB | PARODD},
                                                  {Parity::Even, PARENB},
                                                  {Parity::Mark, PARENB | CMSPAR | PARODD},
                                                  {Parity::Space, PARENB | CMSPAR}};
  for (const auto& [parity, flags] : parities) {
    termios t = CookedTermios();
    LineSettings settings;
    settings.parity = parity;
    ASSERT_TRUE(ApplyLineSettings(t, settings));
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), flags) << static_cast<int>(parity);
  }

  const std::pair<StopBits, tcflag_t> stops[] = {
      {StopBits::One, 0}, {StopBits::OnePointFive, CSTOPB}, {StopBits::Two, CSTOPB}};
  for (const auto& [stopBits, flag] : stops) {
    termios t = CookedTermios();
    LineSettings settings;
    settings.stopBits = stopBits;
    ASSERT_TRUE(ApplyLineSettings(t, settings));
    EXPECT_EQ(t.c_cflag & CSTOPB, flag) << static_cast<int>(stopBits);
  }

  for (const auto& [cts, rts, expected] : {std::tuple{false, RtsControl::Enable, tcflag_t{0}},
                                          std::tuple{true, RtsControl::Disable, tcflag_t{CRTSCTS}},
                                          std::tuple{false, RtsControl::Handshake, tcflag_t{CRTSCTS}}}) {
    termios t = CookedTermios();
    LineSettings settings;
    settings.ctsFlow = cts;
    settings.rts = rts;
    ASSERT_TRUE(ApplyLineSettings(t, settings));
    EXPECT_EQ(t.c_cflag & CRTSCTS, expected);
  }
}

TEST(ApplyLineSettings, DataBitsAndRatesTermiosOffersOnly) {
  for (const auto& [bits, flag] : {std::pair{5, CS5}, std::pair{6, CS6}, std::pair{7, CS7}, std::pair{8, CS8}}) {
    termios t = CookedTermios();
    LineSettings settings;
    settings.dataBits = static_cast<std::uint16_t>(bits);
    ASSERT_TRUE(ApplyLineSettings(t, settings));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(flag));
  }
  for (const auto& [rate, code] : {std::pair{50u, B50}, std::pair{115200u, B115200}, std::pair{4000000u, B4000000}}) {
    termios t = CookedTermios();
    LineSettings settings;
    settings.baudRate = rate;
    ASSERT_TRUE(ApplyLineSettings(t, settings));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(code));
  }

  // Refused settings leave the termios untouched.
  LineSettings wrongBits;
  wrongBits.dataBits = 9;
  LineSettings wrongRate;
  wrongRate.baudRate = 14400;  // a rate of another platform
  LineSettings noRate;
  noRate.baudRate = 0;
  for (const LineSettings& settings : {wrongBits, wrongRate, noRate}) {
    termios t = CookedTermios();
    const termios before = t;
    EXPECT_FALSE(ApplyLineSettings(t, settings));
    EXPECT_EQ(std::memcmp(&t, &before, sizeof t), 0);
  }
}

TEST(LineSettingsOf, ReadsBackWhatWasApplied) {
  for (Parity parity : {Parity::None, Parity::Odd, Parity::Even, Parity::Mark, Parity::Space}) {
    for (StopBits stopBits : {StopBits::One, StopBits::Two}) {
      LineSettings settings;
      settings.baudRate = 57600;
      settings.dataBits = 7;
      settings.parity = parity;
      settings.stopBits = stopBits;
      settings.ctsFlow = true;
      termios t = CookedTermios();
      ASSERT_TRUE(ApplyLineSettings(t, settings));
      EXPECT_EQ(LineSettingsOf(t), settings);
    }
  }
}

TEST(CharacterTime, CountsStartDataParityAndStopBits) {
  auto settings = [](std::uint32_t rate, std::uint16_t bits, Parity parity, StopBits stop) {
    LineSettings s;
    s.baudRate = rate;
    s.dataBits = bits;
    s.parity = parity;
    s.stopBits = stop;
    return s;
  };
  // 11 bits at 19200 baud: 572.9 us, rounded up.
  EXPECT_EQ(CharacterTime(settings(19200, 8, Parity::Even, StopBits::One)), 573us);
  // 10 bits: even parity must count one bit, not its table value 2.
  EXPECT_EQ(CharacterTime(settings(115200, 8, Parity::None, StopBits::One)), 87us);
  // 1 + 7 + 1.5 = 9.5 bits at 1200 baud: 7916.7 us.
  EXPECT_EQ(CharacterTime(settings(1200, 7, Parity::None, StopBits::OnePointFive)), 7917us);
  EXPECT_EQ(CharacterTime(settings(9600, 8, Parity::Mark, StopBits::Two)), 1250us);
  EXPECT_EQ(CharacterTime(settings(0, 8, Parity::None, StopBits::One)), 0us);
}

TEST(LineErrorFlags, OneFlagPerCounterThatMoved) {
  const LineCounters before{10, 20, 30, 40, 50};
  EXPECT_EQ(LineErrorFlags(before, before), 0);
  EXPECT_EQ(LineErrorFlags(before, {11, 20, 30, 40, 50}), 0x0001);
  EXPECT_EQ(LineErrorFlags(before, {10, 21, 30, 40, 50}), 0x0002);
  EXPECT_EQ(LineErrorFlags(before, {10, 20, 31, 40, 50}), 0x0004);
  EXPECT_EQ(LineErrorFlags(before, {10, 20, 30, 42, 50}), 0x0008);
  EXPECT_EQ(LineErrorFlags(before, {10, 20, 30, 40, 51}), 0x0010);
  EXPECT_EQ(LineErrorFlags(before, {11, 21, 31, 41, 51}), 0x001F);
  // The counters wrap; a counter that went round still moved.
  EXPECT_EQ(LineErrorFlags({0, 0, 0xFFFFFFFF, 0, 0}, {0, 0, 0, 0, 0}), 0x0004);
}

TEST(LockHolders, TakesHoldersOfTheFileFromProcLocks) {
  const std::string procLocks =
      "1: FLOCK  ADVISORY  WRITE 8168 00:1a:3 0 EOF\n"
      "1: -> FLOCK  ADVISORY  WRITE 9000 00:1a:3 0 EOF\n"
      "2: POSIX  ADVISORY  WRITE 77 00:1a:3 0 EOF\n"
      "3: FLOCK  ADVISORY  WRITE 55 00:1a:4 0 EOF\n"
      "4: FLOCK  ADVISORY  WRITE 66 08:01:3 0 EOF\n"
      "5: OFDLCK ADVISORY  READ  -1 00:1a:3 0 EOF\n"
      "6: FLOCK  ADVISORY  WRITE 12 zz:1a:3 0 EOF\n"
      "garbage\n"
      "7: FLOCK  ADVISORY  WRITE 13 00:1a:3x 0 EOF\n";
  EXPECT_EQ(LockHolders(procLocks, {0x00, 0x1a, 3}), (std::vector<int>{8168, 77}));
  EXPECT_TRUE(LockHolders("", {0x00, 0x1a, 3}).empty());
}

TEST(ListSerialPorts, DevicesWithHardwareNamedByProductOrDriver) {
  namespace fs = std::filesystem;
  TempFolder folder;
  const fs::path root = folder.Path();
  auto write = [](const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
  };
  fs::create_directories(root / "drivers" / "ftdi_sio");
  fs::create_directories(root / "drivers" / "serial8250");
  fs::create_directories(root / "drivers" / "port");
  fs::create_directories(root / "bus" / "serial-base");

  const fs::path usb = root / "devices" / "usb1" / "1-1";
  write(usb / "product", "FT232R USB UART\n");
  fs::create_directories(usb / "1-1:1.0" / "ttyUSB0");
  fs::create_directory_symlink(root / "drivers" / "ftdi_sio", usb / "1-1:1.0" / "ttyUSB0" / "driver");

  const fs::path uart = root / "devices" / "platform" / "serial8250:0";
  fs::create_directories(uart);
  fs::create_directory_symlink(root / "drivers" / "serial8250", uart / "driver");
  for (const char* port : {"serial8250:0.0", "serial8250:0.1", "serial8250:0.2", "serial8250:0.10"}) {
    fs::create_directories(uart / port);
    fs::create_directory_symlink(root / "drivers" / "port", uart / port / "driver");
    fs::create_directory_symlink(root / "bus" / "serial-base", uart / port / "subsystem");
  }
  fs::create_directories(root / "devices" / "acm");

  const fs::path tty = root / "class" / "tty";
  auto entry = [&](const std::string& name, const fs::path& device, const char* type) {
    fs::create_directories(tty / name);
    if (!device.empty()) fs::create_directory_symlink(device, tty / name / "device");
    if (type != nullptr) write(tty / name / "type", type);
  };
  entry("ttyUSB0", usb / "1-1:1.0" / "ttyUSB0", nullptr);
  entry("ttyS0", uart / "serial8250:0.0", "4\n");
  entry("ttyS1", uart / "serial8250:0.1", "0\n");  // no UART behind it
  entry("ttyS2", uart / "serial8250:0.2", "4\n");
  entry("ttyS10", uart / "serial8250:0.10", "4\n");
  entry("ttyACM0", root / "devices" / "acm", nullptr);
  entry("tty0", {}, nullptr);  // a virtual console

  const std::vector<SerialPortInfo> expected = {
      {"ttyACM0", "ttyACM0"},
      {"ttyS0", "serial8250 (ttyS0)"},
      {"ttyS2", "serial8250 (ttyS2)"},
      {"ttyS10", "serial8250 (ttyS10)"},
      {"ttyUSB0", "FT232R USB UART (ttyUSB0)"},
  };
  EXPECT_EQ(ListSerialPorts(tty), expected);
  EXPECT_TRUE(ListSerialPorts(root / "missing").empty());
}

class SerialPortOnPty : public ::testing::Test {
 protected:
  void OpenAndConfigure() {
    ASSERT_FALSE(port.Open(pty.SlavePath()));
    ASSERT_FALSE(port.Configure(Settings8N1()));
  }

  PseudoTerminal pty;
  SerialPort port;
};

TEST_F(SerialPortOnPty, SecondOpenerIsRefusedUntilTheFirstCloses) {
  OpenAndConfigure();
  SerialPort second;
  const PortStatus refused = second.Open(pty.SlavePath());
  ASSERT_TRUE(refused);
  // Root passes TIOCEXCL and meets the lock; everyone else meets TIOCEXCL.
  EXPECT_EQ(refused->call, RunningAsRoot() ? "flock" : "open");
  EXPECT_EQ(WindowsErrorOf(refused->error, ErrnoContext::PortSetup), 0x0005);
  EXPECT_FALSE(second.IsOpen());
  // The refused opener left the holder's exclusive flag alone.
  EXPECT_TRUE(port.IsOpen());

  EXPECT_FALSE(port.Close());
  EXPECT_FALSE(second.Open(pty.SlavePath()));
}

TEST_F(SerialPortOnPty, OpenNamesTheCallThatFailed) {
  const PortStatus missing = port.Open("/dev/fennec-no-such-port");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->call, "open");
  EXPECT_EQ(missing->error, ENOENT);

  const PortStatus notATty = port.Open("/dev/null");
  ASSERT_TRUE(notATty);
  EXPECT_EQ(notATty->call, "ioctl(TIOCEXCL)");
  EXPECT_EQ(WindowsErrorOf(notATty->error, ErrnoContext::PortSetup), 0x001F);
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortOnPty, ConfigureReachesTheLineAndRefusesWhatTermiosLacks) {
  ASSERT_FALSE(port.Open(pty.SlavePath()));
  LineSettings settings;
  settings.baudRate = 115200;
  settings.parity = Parity::Even;
  settings.stopBits = StopBits::OnePointFive;
  settings.ctsFlow = true;
  ASSERT_FALSE(port.Configure(settings));
  // Again, with nothing left to change: the parity the pseudo-terminal drops must not fail it.
  ASSERT_FALSE(port.Configure(settings));
  const LineSettings onLine = pty.SlaveLineSettings();
  EXPECT_EQ(onLine.baudRate, 115200u);
  EXPECT_EQ(onLine.stopBits, StopBits::Two);
  EXPECT_TRUE(onLine.ctsFlow);

  settings.baudRate = 14400;
  const PortStatus refused = port.Configure(settings);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->error, EINVAL);
  EXPECT_EQ(pty.SlaveLineSettings().baudRate, 115200u);
}

TEST_F(SerialPortOnPty, ReadStopsAtItsLimitsWithWhatArrived) {
  OpenAndConfigure();
  ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{1, 2}));
  std::vector<std::uint8_t> into(4);
  const auto start = Clock::now();
  const TransferResult result = port.Read(into, {100ms, 1s});
  EXPECT_GE(Since(start), 95ms);
  EXPECT_EQ(result.outcome, TransferResult::Outcome::TimedOut);
  EXPECT_EQ(result.count, 2u);
  EXPECT_EQ(into[1], 2);
}

TEST_F(SerialPortOnPty, ReadEndsAtOnceWhenTheOtherEndHangsUp) {
  OpenAndConfigure();
  std::jthread hangUp([this] {
    std::this_thread::sleep_for(50ms);
    pty.Cut();
  });
  std::vector<std::uint8_t> into(4);
  const auto start = Clock::now();
  const TransferResult result = port.Read(into, {20s, 40s});
  EXPECT_LT(Since(start), 10s);  // at the hang-up, not at a limit
  EXPECT_TRUE(result.outcome == TransferResult::Outcome::LineClosed ||
              result.outcome == TransferResult::Outcome::CallFailed);
}

TEST_F(SerialPortOnPty, WriteStopsAtTheLimitWhenNobodyReads) {
  OpenAndConfigure();
  const std::vector<std::uint8_t> bytes(1 << 20, 0x55);
  const auto start = Clock::now();
  const TransferResult result = port.Write(bytes, 150ms);
  EXPECT_GE(Since(start), 145ms);
  EXPECT_EQ(result.outcome, TransferResult::Outcome::TimedOut);
  EXPECT_GT(result.count, 0u);
  EXPECT_LT(result.count, bytes.size());
}

TEST_F(SerialPortOnPty, PurgeDiscardsUnreadInput) {
  OpenAndConfigure();
  ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{7, 8, 9}));
  std::vector<std::uint8_t> into(1);
  // One send arrives as one piece: once its first byte is read, the other two are queued.
  ASSERT_EQ(port.Read(into, {500ms, 500ms}).outcome, TransferResult::Outcome::Complete);
  ASSERT_EQ(into[0], 7);
  ASSERT_FALSE(port.Purge());
  ASSERT_TRUE(pty.Send(std::vector<std::uint8_t>{4}));
  ASSERT_EQ(port.Read(into, {500ms, 500ms}).outcome, TransferResult::Outcome::Complete);
  EXPECT_EQ(into[0], 4);
}

TEST_F(SerialPortOnPty, PseudoTerminalHasNoLineErrorCounters) {
  OpenAndConfigure();
  const LineErrorResult errors = port.TakeLineErrors();
  EXPECT_EQ(errors.flags, 0);
  EXPECT_FALSE(errors.failure);
}

// The advice follows the node: its kind, its mode and who owns it.
TEST(PortAdvice, FollowsTheKindModeAndOwnersOfTheNode) {
  using Kind = PortNode::Kind;
  const PortNode dialout{Kind::CharacterDevice, 0660, 20, "root", "dialout"};
  const std::string udevRule = "\nGive it to group dialout with a udev rule, a line such as\n"
                               "  SUBSYSTEM==\"tty\", KERNEL==\"ttyUSB0\", MODE=\"0660\", GROUP=\"dialout\"\n"
                               "in a file /etc/udev/rules.d/50-serial-port.rules, reload the rules with\n"
                               "  sudo udevadm control --reload-rules && sudo udevadm trigger\n"
                               "and add the user to group dialout (sudo usermod -a -G dialout anna), then log in again.";
  const std::string notASerialPort = ". Name the device of a serial port, such as /dev/ttyUSB0.";
  const struct {
    const char* name;
    int error;
    std::optional<PortNode> node;
    std::string advice;
  } cases[] = {
      {"group may read and write", EACCES, dialout,
       "Permission denied on /dev/ttyUSB0: the port belongs to group 'dialout', which may read and write it. To use "
       "it, add the user to group dialout (sudo usermod -a -G dialout anna), then log in again."},
      {"EPERM as EACCES", EPERM, PortNode{Kind::CharacterDevice, 0660, 18, "root", "uucp"},
       "Permission denied on /dev/ttyUSB0: the port belongs to group 'uucp', which may read and write it. To use "
       "it, add the user to group uucp (sudo usermod -a -G uucp anna), then log in again."},
      {"only the owner", EACCES, PortNode{Kind::CharacterDevice, 0600, 0, "root", "root"},
       "Permission denied on /dev/ttyUSB0: only its owner 'root' may read and write it (mode 0600, owner 'root', "
       "group 'root')." + udevRule},
      {"group may only write", EACCES, PortNode{Kind::CharacterDevice, 0620, 5, "root", "tty"},
       "Permission denied on /dev/ttyUSB0: only its owner 'root' may read and write it (mode 0620, owner 'root', "
       "group 'tty')." + udevRule},
      {"root's group is never the one to join", EACCES, PortNode{Kind::CharacterDevice, 0660, 0, "root", "root"},
       "Permission denied on /dev/ttyUSB0: only its owner 'root' and group 'root' may read and write it (mode 0660, "
       "owner 'root', group 'root')." + udevRule},
      {"nobody", EACCES, PortNode{Kind::CharacterDevice, 0, 20, "root", "dialout"},
       "Permission denied on /dev/ttyUSB0: nobody may read and write it (mode 0000, owner 'root', group 'dialout')." +
           udevRule},
      {"everyone may, yet refused", EACCES, PortNode{Kind::CharacterDevice, 0666, 0, "root", "root"},
       "Permission denied on /dev/ttyUSB0 although its mode 0666 lets everyone read and write it: an access control "
       "list or a security module keeps the user out; ask the administrator."},
      {"node not seen", EACCES, std::nullopt,
       "Permission denied on /dev/ttyUSB0: ask the administrator for access to the port."},
      {"regular file", ENOTTY, PortNode{Kind::RegularFile, 0644, 0, "anna", "anna"},
       "/dev/ttyUSB0 is not a serial port: it is a regular file" + notASerialPort},
      {"folder", EISDIR, PortNode{Kind::Folder, 0755, 0, "root", "root"},
       "/dev/ttyUSB0 is not a serial port: it is a folder" + notASerialPort},
      {"device that is no terminal", ENOTTY, PortNode{Kind::CharacterDevice, 0666, 0, "root", "root"},
       "/dev/ttyUSB0 is not a serial port: it is a device that is not a terminal" + notASerialPort},
      {"kind before permission", EACCES, PortNode{Kind::NamedPipe, 0600, 0, "root", "root"},
       "/dev/ttyUSB0 is not a serial port: it is a named pipe" + notASerialPort},
      {"hung up", EIO, dialout,
       "The port /dev/ttyUSB0 failed with an input/output error: the line was hung up or the adapter unplugged. "
       "Check the adapter and its cable, then try again."},
      {"missing", ENOENT, std::nullopt,
       "There is no port /dev/ttyUSB0: check the port name and that the adapter is plugged in."},
      {"anything else", EFAULT, dialout, "The port /dev/ttyUSB0 reported errno 14 (Bad address)."},
      {"no error", 0, dialout, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PortAdvice("/dev/ttyUSB0", c.error, c.node, "anna"), c.advice);
  }
}

TEST(PortNode, IsReadFromTheFileSystem) {
  TempFolder folder;
  const std::filesystem::path file = folder.Path() / "port";
  std::ofstream(file) << "x";
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write);
  const std::optional<PortNode> node = InspectPortNode(file.string());
  ASSERT_TRUE(node);
  EXPECT_EQ(node->kind, PortNode::Kind::RegularFile);
  EXPECT_EQ(node->permissions, 0620u);
  EXPECT_EQ(node->group, GroupOf(file, folder.Path()));

  EXPECT_EQ(InspectPortNode(folder.Path().string())->kind, PortNode::Kind::Folder);
  EXPECT_EQ(InspectPortNode("/dev/null")->kind, PortNode::Kind::CharacterDevice);
  EXPECT_FALSE(InspectPortNode((folder.Path() / "missing").string()));
}

// A pseudo-terminal's slave given to group dialout with 0660, as udev leaves an adapter, and
// then kept to its owner.
TEST(PortFailureAdvice, PermissionFollowsTheModeAndGroupTheNodeHasNow) {
  if (!RunningAsRoot()) GTEST_SKIP() << "only root can give the node to another group";
  PseudoTerminal pty;
  const std::string path = pty.SlavePath();
  ASSERT_TRUE(Succeeds("chgrp dialout '" + path + "' && chmod 0660 '" + path + "'"));
  EXPECT_NE(PortFailureAdvice(path, EACCES).find("belongs to group 'dialout'"), std::string::npos);

  ASSERT_TRUE(Succeeds("chmod 0600 '" + path + "'"));
  const std::string ownerOnly = PortFailureAdvice(path, EACCES);
  EXPECT_NE(ownerOnly.find("only its owner 'root' may read and write it (mode 0600"), std::string::npos) << ownerOnly;
  EXPECT_NE(ownerOnly.find("MODE=\"0660\", GROUP=\"dialout\""), std::string::npos) << ownerOnly;
  EXPECT_EQ(ownerOnly.find("-G root"), std::string::npos) << ownerOnly;
}

TEST(PortFailureAdvice, BusyNamesTheProcessThatHoldsThePort) {
  PseudoTerminal pty;
  SerialPort holder;
  ASSERT_FALSE(holder.Open(pty.SlavePath()));
  EXPECT_EQ(PortHolders(pty.SlavePath()), (std::vector<PortHolder>{{std::stoi(OwnPid()), "tst_serialport"}}));
  EXPECT_EQ(PortFailureAdvice(pty.SlavePath(), EWOULDBLOCK),
            "The port " + pty.SlavePath() + " is in use by process " + OwnPid() +
                " (tst_serialport): close that program and try again.");
  ASSERT_FALSE(holder.Close());
  EXPECT_EQ(PortFailureAdvice(pty.SlavePath(), EBUSY),
            "The port " + pty.SlavePath() + " is in use by another program: close it and try again.");
}
