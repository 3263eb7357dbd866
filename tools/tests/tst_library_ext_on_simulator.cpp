// The library's extended protocol (CProtDetection, CExtProtokoll, CExtService, CExtRegComm)
// against the simulated device on a real pseudo-terminal: detection, long messages, the
// old-format restart, the device's faults, and both roads to table 110 checked against each
// other.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <random>
#include <thread>
#include <variant>

#include "Communication/RS232Connection.h"
#include "ExtProtokoll.h"
#include "ExtRegComm.h"
#include "ExchangeLog.h"
#include "ExtService.h"
#include "Platform/LastError.h"
#include "ProtDetection.h"
#include "ProtocolTable.h"
#include "SIOService.h"
#include "SimulatedDevice.h"
#include "WholeDeviceRead.h"

using fennec::sim::ExtFaults;
using fennec::sim::FindProfile;
using fennec::sim::Profile;
using fennec::sim::SimulatedDevice;
using fennec::sim::SimulatorOptions;
using namespace std::chrono_literals;
using Words = std::vector<std::uint16_t>;

namespace {

constexpr auto kTimeout = 200ms;
constexpr unsigned kWideTable = 110;
constexpr unsigned kWideTableSize = 320;

Profile WithTable124(const char* name, const char* assignments = "") {
  Profile profile = *FindProfile(name);
  if (*assignments != '\0') {
    const auto problem = fennec::sim::RewriteProtocolWords(profile.deviceTables.at(124), assignments);
    EXPECT_FALSE(problem) << *problem;
  }
  return profile;
}

Words Factory110(unsigned first, unsigned count) {
  Words words(count);
  for (unsigned i = 0; i < count; ++i) words[i] = static_cast<std::uint16_t>(0x5A00 + first + i);
  return words;
}

// The device on its terminal; the legacy service for the detection; the extended objects on
// what it detected.
class ExtOnSimulator : public ::testing::Test {
 protected:
  void Start(Profile profile, unsigned baud = 0, std::chrono::milliseconds restartSilence = 300ms) {
    Stop();
    SimulatorOptions options;
    options.profile = std::move(profile);
    options.baud = baud;
    options.timings.restartSilence = restartSilence;
    options.log = log.Sink();
    device = std::make_unique<SimulatedDevice>(std::move(options));
    ASSERT_TRUE(device->Start()) << device->StartReport();
    connection = std::make_unique<ORLA::CRS232Connection>();
    ASSERT_TRUE(connection->SetSettingsXML("<RS232 device='" + device->SlavePath() + "' timeout='" +
                                           std::to_string(kTimeout.count()) + "'/>"));
    connection->Open();
    legacy = std::make_unique<CSIOService>(connection.get());
    detection = std::make_unique<CProtDetection>(legacy.get(), nullptr);
    detected = detection->DetectProtokollType();
    protokoll = std::make_unique<CExtProtokoll>(connection.get(), detection.get(), nullptr);
    service = std::make_unique<CExtService>(protokoll.get());
    regComm = std::make_unique<CExtRegComm>(protokoll.get());
  }

  void Stop() {
    if (connection) connection->Close();
    device.reset();
  }

  void TearDown() override { Stop(); }

  // A read through CExtRegComm: the words, or the code it failed with.
  std::variant<Words, std::uint32_t> Read(unsigned first, unsigned count) {
    Words words(count, 0xAAAA);
    if (regComm->ReadRegister(0, kWideTable, first, count, words.data())) return words;
    return fennec::platform::GetThreadLastError();
  }

  std::vector<std::string> Logged(const std::string& text) { return log.Requests(text); }

  ExchangeLog log;
  std::unique_ptr<SimulatedDevice> device;
  std::unique_ptr<ORLA::CRS232Connection> connection;
  std::unique_ptr<CSIOService> legacy;
  std::unique_ptr<CProtDetection> detection;
  std::uint32_t detected = 0;
  std::unique_ptr<CExtProtokoll> protokoll;
  std::unique_ptr<CExtService> service;
  std::unique_ptr<CExtRegComm> regComm;
};

}  // namespace

TEST_F(ExtOnSimulator, EachKindOfDeviceIsDetected) {
  struct Case {
    const char* name;
    Profile profile;
    std::uint32_t result;
    bool supported;
    std::uint16_t fragmentSize, targetBufSize;
    bool fragmentEnable;
  };
  const Case cases[] = {
      {"fbcext", WithTable124("fbcext"), 0, true, 64, 1024, true},
      {"fbc32: version 0", WithTable124("fbc32"), 0, false, 64, 512, true},
      {"fragmentation off", WithTable124("fbcext", "FragmentEnable=0"), 0, true, 64, 1024, false},
      {"table sum wrong", WithTable124("fbcext", "TableSum=0"), 10, false, 100, 0, false},
      {"fbc16: no table 124", *FindProfile("fbc16"), 0x20088200, false, 100, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(c.profile);
    EXPECT_EQ(detected, c.result);
    EXPECT_EQ(detection->IsExtProtSupported(), c.supported);
    EXPECT_EQ(detection->GetFragmentSize(), c.fragmentSize);
    EXPECT_EQ(detection->GetTargetBufSize(), c.targetBufSize);
    EXPECT_EQ(detection->GetFragmentEnable(), c.fragmentEnable);
  }
  // fbc32's other words are taken over as well.
  Start(WithTable124("fbc32"));
  EXPECT_EQ(detection->GetProtocolID(), 1);
  EXPECT_EQ(detection->GetFragmentTimeout(), 500);
  EXPECT_EQ(detection->GetRegAccTimeout(), 1000);
  EXPECT_EQ(detection->GetVersion(), 0);
}

TEST_F(ExtOnSimulator, ThreeHundredRegistersAreOneMessage) {
  Start(WithTable124("fbcext"));
  EXPECT_EQ(Read(0, 300), (std::variant<Words, std::uint32_t>(Factory110(0, 300))));
  EXPECT_EQ(Logged("extended read table 110 from 0, 300 register(s)").size(), 1u);
  // 507 registers do not fit the device's 1024 bytes: refused before anything is sent.
  const unsigned exchanges = device->Exchanges();
  EXPECT_EQ(Read(0, 507), (std::variant<Words, std::uint32_t>(31u)));
  EXPECT_EQ(device->Exchanges(), exchanges);
  // Registers beyond the table: the device's refusal.
  EXPECT_EQ(Read(300, 21), (std::variant<Words, std::uint32_t>(0x20088215u)));
}

TEST_F(ExtOnSimulator, TheWholeDeviceIsReadThroughTheExtendedServices) {
  const Profile profile = WithTable124("fbcext");
  Start(profile);
  const fennec::client::WholeDeviceRead read = fennec::client::ReadWholeDevice(*service);
  ASSERT_TRUE(read.Complete()) << read.failedStep << ": 0x" << std::hex << read.failure;
  EXPECT_EQ(read.orderNumber, "716-352");
  EXPECT_EQ(read.softwareVersion, "01.08.02(10)");
  EXPECT_EQ(read.serialNumber, profile.identity.serialNumber);
  EXPECT_EQ(read.firmwareLoaderVersion, profile.identity.firmwareLoaderVersion);
  EXPECT_EQ(read.networkValue, profile.identity.networkValue);
  ASSERT_TRUE(read.clockSeconds);
  EXPECT_NEAR(static_cast<double>(*read.clockSeconds), static_cast<double>(std::time(nullptr)), 2.0);
  // The list as the device gives it, in ascending order.
  EXPECT_EQ(read.tables, (std::vector<tFBCTable>{tFBCTable::Make(0, 32), tFBCTable::Make(99, 44),
                                                 tFBCTable::Make(100, 80), tFBCTable::Make(110, 320),
                                                 tFBCTable::Make(124, 11), tFBCTable::Make(127, 2)}));
  EXPECT_EQ(read.table0, profile.parameterTables.at(0));
  EXPECT_EQ(read.table100, profile.parameterTables.at(100));
}

// A 150-byte echo crosses a line paced at 19200 baud in three acknowledged fragments.
TEST_F(ExtOnSimulator, ALongMessageIsSplitAndAcknowledgedOnAPacedLine) {
  Start(WithTable124("fbcext"), 19200);
  const unsigned detection = device->Exchanges();
  std::vector<unsigned char> data(150);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(3 * i);
  EXPECT_EQ(protokoll->TestCommand(data.data(), static_cast<std::uint16_t>(data.size())), 0u);
  EXPECT_EQ(Logged("extended fragment 1 (more follow) taken").size(), 1u);
  EXPECT_EQ(Logged("extended fragment 2 (more follow) taken").size(), 1u);
  EXPECT_EQ(Logged("extended echo of 150 bytes").size(), 1u);
  // Three fragments, then two acknowledgements of the answer's fragments.
  EXPECT_EQ(device->Exchanges() - detection, 5u);
}

TEST_F(ExtOnSimulator, TheOldFormatRestartAnswerIsASuccessfulRestart) {
  Profile profile = WithTable124("fbcext");
  profile.oldFormatRestartAnswer = true;
  Start(profile, 0, 1500ms);
  ASSERT_EQ(Read(5, 1), (std::variant<Words, std::uint32_t>(Factory110(5, 1))));
  const std::uint16_t changed = 0x0BAD;
  ASSERT_TRUE(regComm->WriteRegister(0, kWideTable, 5, 1, &changed));
  ASSERT_TRUE(service->RestartSystem()) << std::hex << service->GetLastErrorCode();
  EXPECT_EQ(Logged("answered in the old telegram format").size(), 1u);
  std::uint16_t word = 0;
  EXPECT_FALSE(legacy->ReadRegister(0, 100, 0, 1, &word)) << "silent while restarting";
  EXPECT_EQ(legacy->GetLastErrorCode(), 0x20010200u);
  const auto giveUp = std::chrono::steady_clock::now() + 5s;
  auto after = Read(5, 1);
  while (std::holds_alternative<std::uint32_t>(after) && std::chrono::steady_clock::now() < giveUp) after = Read(5, 1);
  EXPECT_EQ(after, (std::variant<Words, std::uint32_t>(Factory110(5, 1)))) << "table 110 is back to its factory words";
}

// Each fault of the device struck once is mended by the repetition; struck every time, it ends
// the read with its own code. Whatever it left on the line is not the next answer.
TEST_F(ExtOnSimulator, EveryExtendedFaultIsRepeatedOrReportedWithItsCode) {
  struct Case {
    const char* name;
    unsigned ExtFaults::*count;
    unsigned registers;
    std::uint32_t code;
  };
  const Case cases[] = {
      {"seqnr", &ExtFaults::wrongSeqNr, 1, 19},         {"cmd", &ExtFaults::wrongCmd, 1, 18},
      {"protid", &ExtFaults::wrongProtId, 1, 20},       {"order", &ExtFaults::outOfOrder, 1, 14},
      {"counter0", &ExtFaults::counterZero, 1, 12},     {"nodata", &ExtFaults::withoutData, 1, 17},
      {"checksum", &ExtFaults::badChecksum, 1, 4},      {"header", &ExtFaults::badHeader, 1, 3},
      {"oversize", &ExtFaults::oversizeLen, 1, 4},      {"confirm", &ExtFaults::confirmationInstead, 1, 18},
      {"repeat", &ExtFaults::repeatedFragment, 60, 13},
  };
  Start(WithTable124("fbcext"));
  for (const Case& c : cases) {
    for (const unsigned strikes : {1u, 4u}) {
      SCOPED_TRACE(std::string(c.name) + " x" + std::to_string(strikes));
      ExtFaults faults;
      faults.*c.count = strikes;
      device->SetExtFaults(faults);
      const auto read = Read(0, c.registers);
      if (strikes == 1)
        EXPECT_EQ(read, (std::variant<Words, std::uint32_t>(Factory110(0, c.registers))));
      else
        EXPECT_EQ(read, (std::variant<Words, std::uint32_t>(c.code)));
      device->ClearFaults();
      EXPECT_EQ(Read(7, 2), (std::variant<Words, std::uint32_t>(Factory110(7, 2))));
    }
  }
}

TEST_F(ExtOnSimulator, ADeviceFallingSilentMidAnswerEndsWithNoFrame) {
  Start(WithTable124("fbcext"));
  ExtFaults faults;
  faults.silentAfter = 1;
  device->SetExtFaults(faults);
  EXPECT_EQ(Read(0, 60), (std::variant<Words, std::uint32_t>(2u)));
  EXPECT_EQ(Read(0, 60), (std::variant<Words, std::uint32_t>(Factory110(0, 60))));
}

// Blocks of table 110 written through one road read back identical through the other; blocks
// the telegrams cannot reach go both ways through the extended road. Devices with random
// limits either serve a block or refuse it with the code the limits predict.
TEST_F(ExtOnSimulator, BothRoadsAgreeOnTable110) {
  std::mt19937 random(20240611);
  const auto between = [&](unsigned low, unsigned high) {
    return std::uniform_int_distribution<unsigned>(low, high)(random);
  };
  const auto block = [&](unsigned count) {
    Words words(count);
    for (std::uint16_t& word : words) word = static_cast<std::uint16_t>(between(0, 0xFFFF));
    return words;
  };

  Start(WithTable124("fbcext"));
  for (int round = 0; round < 20; ++round) {
    const unsigned first = between(0, 255);
    const unsigned count = between(1, 256 - first);
    SCOPED_TRACE("registers " + std::to_string(first) + " + " + std::to_string(count));
    const Words legacyWritten = block(count);
    ASSERT_TRUE(legacy->WriteRegister(0, kWideTable, first, count, legacyWritten.data()));
    EXPECT_EQ(Read(first, count), (std::variant<Words, std::uint32_t>(legacyWritten)));
    const Words extWritten = block(count);
    ASSERT_TRUE(regComm->WriteRegister(0, kWideTable, first, count, extWritten.data()));
    Words back(count);
    ASSERT_TRUE(legacy->ReadRegister(0, kWideTable, first, count, back.data()));
    EXPECT_EQ(back, extWritten);
  }
  for (int round = 0; round < 10; ++round) {
    const unsigned first = between(1, kWideTableSize - 1);
    const unsigned count = between(std::max(1u, 257 - std::min(first, 256u)), kWideTableSize - first);
    SCOPED_TRACE("beyond the telegrams: " + std::to_string(first) + " + " + std::to_string(count));
    const Words written = block(count);
    ASSERT_TRUE(regComm->WriteRegister(0, kWideTable, first, count, written.data()));
    EXPECT_EQ(Read(first, count), (std::variant<Words, std::uint32_t>(written)));
  }

  for (int device = 0; device < 12; ++device) {
    const unsigned fragmentSize = between(0, 160);
    const unsigned targetBufSize = between(0, 3) == 0 ? 0 : between(12, 700);
    const unsigned fragmentEnable = between(0, 2);
    const unsigned count = between(1, 300);
    const std::string limits = "FragmentSize=" + std::to_string(fragmentSize) + ",TargetBufSize=" +
                               std::to_string(targetBufSize) + ",FragmentEnable=" + std::to_string(fragmentEnable);
    SCOPED_TRACE(limits + ", " + std::to_string(count) + " registers");
    Start(WithTable124("fbcext", limits.c_str()));
    // Worked out here from the announced limits: the request of a read is 12 bytes, its
    // answer 12 + 2 per register.
    const unsigned answer = 12 + 2 * count;
    std::uint32_t predicted = 0;
    if (fragmentSize == 0 || (fragmentEnable != 1 && (answer > fragmentSize || 12 > fragmentSize)))
      predicted = 32;
    else if (fragmentEnable == 1 && targetBufSize != 0 && answer > targetBufSize)
      predicted = 31;
    if (predicted == 0)
      EXPECT_EQ(Read(0, count), (std::variant<Words, std::uint32_t>(Factory110(0, count))));
    else
      EXPECT_EQ(Read(0, count), (std::variant<Words, std::uint32_t>(predicted)));
  }
}
