// The library (CRS232Connection, CSIOService) against the simulated device on a real
// pseudo-terminal, with the device's own timing and its fault injection.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <thread>

#include "Communication/RS232Connection.h"
#include "ExchangeLog.h"
#include "SIOService.h"
#include "SimulatedDevice.h"
#include "WholeDeviceRead.h"

using fennec::client::ReadWholeDevice;
using fennec::client::WholeDeviceRead;
using fennec::sim::DeviceTimings;
using fennec::sim::FindProfile;
using fennec::sim::Profile;
using fennec::sim::SimulatedDevice;
using fennec::sim::SimulatorOptions;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Words = std::vector<std::uint16_t>;

namespace {

constexpr auto kTimeout = 200ms;
constexpr unsigned kBaud = 19200;

// Long enough that a test thread held up by a busy machine still sees the device busy after a
// save and silent after a restart.
DeviceTimings QuickTimings() {
  DeviceTimings timings;
  timings.restartSilence = 1000ms;
  timings.saveBusy = 500ms;
  return timings;
}

Profile ProfileNamed(const char* name) {
  const Profile* profile = FindProfile(name);
  return profile ? *profile : Profile{};
}

// The device on its terminal, the serial connection opened on the terminal, and the library's
// service object on the connection.
class LibraryOnSimulator : public ::testing::Test {
 protected:
  void Start(Profile profile, unsigned baud = kBaud, const std::string& attributes = "",
             std::chrono::milliseconds timeout = kTimeout) {
    SimulatorOptions options;
    options.profile = std::move(profile);
    options.baud = baud;
    options.timings = QuickTimings();
    options.log = log.Sink();
    device = std::make_unique<SimulatedDevice>(std::move(options));
    ASSERT_TRUE(device->Start()) << device->StartReport();
    ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='" + device->SlavePath() + "' timeout='" +
                                          std::to_string(timeout.count()) + "' " + attributes + "/>"));
    connection.Open();
    service = std::make_unique<CSIOService>(&connection);
  }

  Words Read(unsigned table, unsigned first, unsigned count) {
    Words words(count, 0xAAAA);
    EXPECT_TRUE(service->ReadRegister(0, table, first, count, words.data()))
        << "table " << table << ": 0x" << std::hex << service->GetLastErrorCode();
    return words;
  }

  // A read that must fail: its code, and the words untouched.
  std::uint32_t FailedRead(unsigned table, unsigned first, unsigned count) {
    Words words(count, 0xAAAA);
    EXPECT_FALSE(service->ReadRegister(0, table, first, count, words.data()));
    EXPECT_EQ(words, Words(count, 0xAAAA));
    return service->GetLastErrorCode();
  }

  // The requests of the exchange log whose note contains the text.
  std::vector<std::string> LoggedRequests(const std::string& text) { return log.Requests(text); }

  ExchangeLog log;
  std::unique_ptr<SimulatedDevice> device;
  ORLA::CRS232Connection connection;
  std::unique_ptr<CSIOService> service;
};

// What each profile must deliver, as the simulator's documentation describes the devices. The
// library lists the tables in the reverse order of the device's answer; the old coupler's list
// comes from the table-by-table probe, in ascending order.
struct ProfileCase {
  const char* name;
  std::vector<tFBCTable> tables;
  bool firmwareLoader;
  bool clock;
};

std::string PrintCase(const ::testing::TestParamInfo<ProfileCase>& info) { return info.param.name; }

const std::vector<tFBCTable> k32BitTables{tFBCTable::Make(127, 2), tFBCTable::Make(124, 11), tFBCTable::Make(100, 80),
                                          tFBCTable::Make(99, 44), tFBCTable::Make(0, 32)};
const std::vector<tFBCTable> k16BitTables{tFBCTable::Make(127, 2), tFBCTable::Make(100, 8), tFBCTable::Make(99, 44),
                                          tFBCTable::Make(0, 32)};
const std::vector<tFBCTable> kProbedTables{tFBCTable::Make(0, 32), tFBCTable::Make(99, 44), tFBCTable::Make(100, 8),
                                           tFBCTable::Make(127, 2)};

class EveryProfile : public LibraryOnSimulator, public ::testing::WithParamInterface<ProfileCase> {};

}  // namespace

TEST_P(EveryProfile, IsReadCompletely) {
  const ProfileCase& expected = GetParam();
  const Profile profile = ProfileNamed(expected.name);
  ASSERT_EQ(profile.name, expected.name);
  Start(profile, 0);

  const WholeDeviceRead read = ReadWholeDevice(*service);
  ASSERT_TRUE(read.Complete()) << read.failedStep << ": 0x" << std::hex << read.failure;
  const auto& identity = profile.identity;
  EXPECT_EQ(read.orderNumber, identity.orderNumber);
  EXPECT_EQ(read.description, identity.description);
  EXPECT_EQ(read.hardwareVersion, identity.hardwareVersion);
  EXPECT_EQ(read.softwareVersion, identity.softwareVersion);
  EXPECT_EQ(read.serialNumber, identity.serialNumber);
  EXPECT_EQ(read.firmwareLoaderVersion,
            expected.firmwareLoader ? std::optional(identity.firmwareLoaderVersion) : std::nullopt);
  EXPECT_EQ(read.networkKind, identity.networkKind);
  EXPECT_EQ(read.networkValue, identity.networkValue);
  ASSERT_EQ(read.clockSeconds.has_value(), expected.clock);
  if (expected.clock) {
    // A fresh device's clock runs with the host's, in time zone 0.
    EXPECT_NEAR(static_cast<double>(*read.clockSeconds), static_cast<double>(std::time(nullptr)), 2.0);
    EXPECT_EQ(read.timeZone, 0);
  }
  EXPECT_EQ(read.tables, expected.tables);
  EXPECT_EQ(read.table0, profile.parameterTables.at(0));
  EXPECT_EQ(read.table100, profile.parameterTables.at(100));
}

INSTANTIATE_TEST_SUITE_P(LibraryOnSimulator, EveryProfile,
                         ::testing::Values(ProfileCase{"fbc32", k32BitTables, true, true},
                                           ProfileCase{"pfc32", k32BitTables, true, true},
                                           ProfileCase{"fbcnode", k32BitTables, true, true},
                                           ProfileCase{"fbc16", k16BitTables, true, false},
                                           ProfileCase{"fbcold", kProbedTables, false, false}),
                         PrintCase);

TEST_F(LibraryOnSimulator, TheOldCouplerGivesItsAddressSwitchThroughTheOlderService) {
  Start(ProfileNamed("fbcold"), 0);
  std::uint16_t setting = 0;
  ASSERT_TRUE(service->GetAddressSwitchSetting(setting)) << std::hex << service->GetLastErrorCode();
  EXPECT_EQ(setting, 21);
  EXPECT_EQ(LoggedRequests("service 1/7").size(), 1u);
  EXPECT_EQ(LoggedRequests("service 0/255").size(), 1u);
}

TEST_F(LibraryOnSimulator, ADroppedRequestIsAnsweredAtTheSingleRepetition) {
  Start(ProfileNamed("fbc32"));
  device->DropNext(1);
  const Words factory = ProfileNamed("fbc32").parameterTables.at(100);
  EXPECT_EQ(Read(100, 0, 10), Words(factory.begin(), factory.begin() + 10));
  EXPECT_EQ(device->Exchanges(), 2u);
}

// Faults that fail one read of 44 registers on a line paced at 19200 baud. Each failure carries
// its own code and is repeated only when nothing came back; and whatever the failed exchange
// left on its way (the rest of a foreign telegram, of an echo) is not the next answer.
TEST_F(LibraryOnSimulator, ALineFaultFailsOneReadAndLeavesNothingForTheNext) {
  struct Case {
    const char* name;
    std::function<void(SimulatedDevice&)> inject;
    std::uint32_t code;
    unsigned exchanges;
  };
  const Case cases[] = {
      {"two requests lost", [](SimulatedDevice& d) { d.DropNext(2); }, 0x20010200, 2},
      {"checksum corrupt", [](SimulatedDevice& d) { d.CorruptNextChecksums(1); }, 0x20010400, 1},
      {"request echoed", [](SimulatedDevice& d) { d.EchoNext(1); }, 0x20010800, 1},
      {"foreign start", [](SimulatedDevice& d) { d.WrongStartNext(1); }, 0x20010800, 1},
      {"range rejected", [](SimulatedDevice& d) { d.RejectRegisters(100, 20, 29, 0x8201); }, 0x20088201, 1},
  };
  for (const Case& fault : cases) {
    SCOPED_TRACE(fault.name);
    Start(ProfileNamed("fbc32"));
    fault.inject(*device);
    EXPECT_EQ(FailedRead(100, 0, 44), fault.code);
    EXPECT_EQ(device->Exchanges(), fault.exchanges);
    EXPECT_EQ(Read(0, 0, 4), Words(4, 0));
    EXPECT_EQ(Read(100, 9, 2), (Words{0xA8C0, 0x1101}));  // 192.168.1.17
    connection.Close();
  }
}

// Without overlapped reads a silent line fails with the line's code and is not asked twice; the
// drain after a failure works the same.
TEST_F(LibraryOnSimulator, InSynchronousModeASilentDeviceIsAskedOnce) {
  Start(ProfileNamed("fbc32"), kBaud, "asynchron='false'");
  device->DropNext(1);
  EXPECT_EQ(FailedRead(100, 0, 44), 0x20010000u);
  EXPECT_EQ(device->Exchanges(), 1u);
  device->WrongStartNext(1);
  EXPECT_EQ(FailedRead(100, 0, 44), 0x20010800u);
  EXPECT_EQ(Read(100, 9, 2), (Words{0xA8C0, 0x1101}));
}

// A service status of the coupler joins the device group, a terminal-bus status its own.
TEST_F(LibraryOnSimulator, ServiceStatusesKeepTheirGroups) {
  Start(ProfileNamed("fbc32"), 0);
  device->RejectService(1, 13, 0x8214);
  device->RejectService(1, 12, 0x8005);
  std::string text;
  std::string value;
  EXPECT_FALSE(service->GetSerialNumber(text));
  EXPECT_EQ(service->GetLastErrorCode(), 0x20088214u);
  EXPECT_FALSE(service->GetNetworkID(text, value));
  EXPECT_EQ(service->GetLastErrorCode(), 0x20048005u);
}

TEST_F(LibraryOnSimulator, AnAnswerJustWithinTheTimeOutIsTaken) {
  // A longer time-out, so that the answer can come late and a device held up by a busy machine
  // still answers within it.
  constexpr auto timeout = 1000ms;
  Start(ProfileNamed("fbc32"), kBaud, "", timeout);
  // The answer starts after the request's own 12 bytes on the line and the delay.
  device->SetAnswerDelay(timeout - 300ms);
  EXPECT_EQ(Read(100, 3, 1), Words{100});
  EXPECT_EQ(device->Exchanges(), 1u);
}

// Both answers come a little after the time-out: each arrives while the library is draining
// the line after the failed try, so neither the repetition nor the next request takes it.
TEST_F(LibraryOnSimulator, AnAnswerJustBeyondTheTimeOutIsNeverTakenForALaterRequest) {
  Start(ProfileNamed("fbc32"));
  // 12 request bytes take 6.9 ms at 19200 baud: the answer starts about 10 ms late.
  device->SetAnswerDelay(kTimeout + 3ms);
  EXPECT_EQ(FailedRead(100, 3, 1), 0x20010200u);
  EXPECT_EQ(device->Exchanges(), 2u);
  device->ClearFaults();
  EXPECT_EQ(Read(0, 0, 2), Words(2, 0));
  EXPECT_EQ(Read(100, 59, 1), Words{80});
}

TEST_F(LibraryOnSimulator, AHundredRegisterReadTravelsIn44And44And12) {
  Profile profile = ProfileNamed("fbc32");
  Words table5(120);
  for (std::uint16_t i = 0; i < table5.size(); ++i) table5[i] = static_cast<std::uint16_t>(0x0500 + i);
  profile.deviceTables[5] = table5;
  Start(profile);

  EXPECT_EQ(Read(5, 10, 100), Words(table5.begin() + 10, table5.begin() + 110));
  const std::vector<std::string> reads = LoggedRequests("read table 5");
  ASSERT_EQ(reads.size(), 3u);
  EXPECT_NE(reads[0].find("read table 5 from 10, 44 register(s)"), std::string::npos) << reads[0];
  EXPECT_NE(reads[1].find("read table 5 from 54, 44 register(s)"), std::string::npos) << reads[1];
  EXPECT_NE(reads[2].find("read table 5 from 98, 12 register(s)"), std::string::npos) << reads[2];
}

TEST_F(LibraryOnSimulator, ARefusedWriteEnableKeepsTheDeviceFromRestarting) {
  Start(ProfileNamed("fbc32"));
  device->RejectService(1, 1, 0x8214);
  EXPECT_FALSE(service->RestartSystem());
  EXPECT_EQ(service->GetLastErrorCode(), 0x20088214u);
  EXPECT_TRUE(LoggedRequests("RestartSystem").empty());
  EXPECT_EQ(Read(100, 3, 1), Words{100});
}

// The write action: enable (the word 0x6E1B), write, save and wait for the save state, then
// restart. The device comes back with what was saved, without what was not, and protected.
TEST_F(LibraryOnSimulator, SavedParametersComeBackAfterTheRestart) {
  Start(ProfileNamed("fbc32"));
  ASSERT_TRUE(service->EnableParamWriting(true));
  // 18 bytes, 3 registers, table 99 with the write bit: service 1/1, one argument, 0x6E1B.
  EXPECT_EQ(LoggedRequests("<- FD 02 12 00 00 03 52 00 E3 00 01 01 01 00 1B 6E").size(), 1u);
  const std::uint16_t port = 8080;
  const std::uint16_t flags = 0x0010;
  ASSERT_TRUE(service->WriteRegister(0, 100, 59, 1, &port));
  ASSERT_TRUE(service->WriteRegister(0, 0, 26, 1, &flags));
  ASSERT_TRUE(service->SaveParameter());
  Words states;
  for (int poll = 0; poll < 50 && (states.empty() || states.back() != 2); ++poll) {
    states.push_back(Read(127, 1, 1).at(0));
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(states.front(), 1);
  EXPECT_EQ(states.back(), 2);
  const std::uint16_t unsaved = 7;
  ASSERT_TRUE(service->WriteRegister(0, 100, 3, 1, &unsaved));

  ASSERT_TRUE(service->RestartSystem()) << std::hex << service->GetLastErrorCode();
  EXPECT_EQ(FailedRead(0, 26, 1), 0x20010200u) << "silent while restarting";
  std::string order, description, hardware, software;
  const auto giveUp = Clock::now() + 10s;
  while (!service->IdentifyDevice(order, description, hardware, software) && Clock::now() < giveUp) {
  }
  EXPECT_EQ(order, "716-341");

  EXPECT_EQ(Read(100, 59, 1), Words{8080});
  EXPECT_EQ(Read(0, 26, 1), Words{0x0010});
  EXPECT_EQ(Read(100, 3, 1), Words{100});
  EXPECT_FALSE(service->WriteRegister(0, 100, 59, 1, &port));
  EXPECT_EQ(service->GetLastErrorCode(), 0x20088202u);
}
