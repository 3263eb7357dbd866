// The library's network road (CTCPIPConnection, CServiceProtocol, CServiceAPI, CUpdateAPI,
// CTCPIPService) against the simulated device on 127.0.0.1, and beside it the serial road to the
// same device.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <numeric>
#include <thread>

#include "Communication/RS232Connection.h"
#include "Communication/ServiceAPI.h"
#include "Communication/ServiceProtocol.h"
#include "Communication/TCPIPConnection.h"
#include "Communication/UpdateAPI.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "SIOService.h"
#include "SimulatedDevice.h"
#include "TCPIPService.h"
#include "WholeDeviceRead.h"

using fennec::client::ReadWholeDevice;
using fennec::client::WholeDeviceRead;
using fennec::sim::FindProfile;
using fennec::sim::SimulatedDevice;
using fennec::sim::SimulatorOptions;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Words = std::vector<std::uint16_t>;

namespace {

constexpr std::uint32_t kFramingCode = 0x2002000D;
constexpr std::uint32_t kTimedOut = 0x3000006E;
constexpr std::uint32_t kRefused = 0x3000006F;
constexpr std::uint32_t kReset = 0x30000068;

class LibraryOverTcp : public ::testing::Test {
 protected:
  void Start(const char* profile, std::size_t framedFragmentSize = 1400,
             std::chrono::milliseconds restartSilence = 300ms) {
    SimulatorOptions options;
    options.profile = *FindProfile(profile);
    options.timings.restartSilence = restartSilence;
    options.timings.saveBusy = 50ms;
    options.framedFragmentSize = framedFragmentSize;
    device = std::make_unique<SimulatedDevice>(std::move(options));
    ASSERT_TRUE(device->Start()) << device->StartReport();
    ASSERT_EQ(device->StartTcp(0), 0);
    ASSERT_TRUE(serial.SetSettingsXML("<RS232 device='" + device->SlavePath() + "' timeout='300'/>"));
    serial.Open();
    Connect(tcp);
  }

  // A connection to the device's port, quick to close and with a short receive time-out.
  void Connect(ORLA::CTCPIPConnection& connection) {
    ASSERT_TRUE(connection.SetSettingsXML("<TCPIP IP-Address='127.0.0.1' ServicePort='" +
                                          std::to_string(device->TcpPort()) +
                                          "' CloseWaitTime='0' ReceiveTimeoutSeconds='1' SendTimeoutSeconds='1'/>"));
    connection.Open();
  }

  Words ReadOverSerial(unsigned table, unsigned count) {
    CSIOService service(&serial);
    Words words(count, 0xAAAA);
    EXPECT_TRUE(service.ReadRegister(0, table, 0, count, words.data())) << std::hex << service.GetLastErrorCode();
    return words;
  }

  std::unique_ptr<SimulatedDevice> device;
  ORLA::CRS232Connection serial;
  ORLA::CTCPIPConnection tcp;
  fennec::platform::DebugCapture reports;
};

std::vector<tFBCTable> Sorted(std::vector<tFBCTable> tables) {
  std::sort(tables.begin(), tables.end(), [](tFBCTable a, tFBCTable b) { return a.wDescriptor < b.wDescriptor; });
  return tables;
}

class EveryNetworkProfile : public LibraryOverTcp, public ::testing::WithParamInterface<const char*> {};

}  // namespace

// The same reader over both roads finds the same device; only the table list comes in the other
// order (the network service lists the device's last record first).
TEST_P(EveryNetworkProfile, ReadsTheSameDeviceAsTheSerialRoad) {
  Start(GetParam());
  CSIOService serialService(&serial);
  CTCPIPService networkService(&tcp);
  const WholeDeviceRead bySerial = ReadWholeDevice(serialService);
  const WholeDeviceRead byNetwork = ReadWholeDevice(networkService);
  ASSERT_TRUE(bySerial.Complete()) << bySerial.failedStep;
  ASSERT_TRUE(byNetwork.Complete()) << byNetwork.failedStep << std::hex << " 0x" << byNetwork.failure;
  EXPECT_EQ(byNetwork.orderNumber, bySerial.orderNumber);
  EXPECT_EQ(byNetwork.description, bySerial.description);
  EXPECT_EQ(byNetwork.hardwareVersion, bySerial.hardwareVersion);
  EXPECT_EQ(byNetwork.softwareVersion, bySerial.softwareVersion);
  EXPECT_EQ(byNetwork.serialNumber, bySerial.serialNumber);
  EXPECT_EQ(byNetwork.firmwareLoaderVersion.value_or(""), bySerial.firmwareLoaderVersion.value_or(""));
  EXPECT_EQ(byNetwork.networkKind, bySerial.networkKind);
  EXPECT_EQ(byNetwork.networkValue, bySerial.networkValue);
  EXPECT_EQ(byNetwork.clockSeconds.has_value(), bySerial.clockSeconds.has_value());
  EXPECT_EQ(Sorted(byNetwork.tables), Sorted(bySerial.tables));
  EXPECT_EQ(byNetwork.table0, bySerial.table0);
  EXPECT_EQ(byNetwork.table100, bySerial.table100);
  EXPECT_FALSE(byNetwork.table100.empty());
}

INSTANTIATE_TEST_SUITE_P(Profiles, EveryNetworkProfile, ::testing::Values("fbc32", "pfc32", "fbcnode", "fbc16"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(LibraryOverTcp, OldCouplerHasNoTableListOverTheNetwork) {
  Start("fbcold");
  CTCPIPService service(&tcp);
  const WholeDeviceRead read = ReadWholeDevice(service);
  EXPECT_EQ(read.orderNumber, "716-301/000-000");
  EXPECT_EQ(read.failedStep, "GetTableInfo");
  EXPECT_EQ(read.failure, 0x20088212u);
}

// The variable search of the identification ends with "end of the list" on a device without
// addresses in table 100.
TEST_F(LibraryOverTcp, InternalVariablesEndWithTheEndOfTheList) {
  Start("fbc16");
  CTCPIPService service(&tcp);
  std::vector<std::pair<std::string, std::string>> found;
  for (std::uint16_t index = 1;; ++index) {
    std::string name, value;
    if (!service.GetInternalVariable(index, name, value)) {
      EXPECT_EQ(fennec::platform::GetThreadLastError(), 0x20088213u);
      break;
    }
    found.emplace_back(name, value);
    ASSERT_LT(index, 100);
  }
  EXPECT_NE(std::find(found.begin(), found.end(), std::pair<std::string, std::string>("IP address", "192.168.1.18")),
            found.end());
  EXPECT_EQ(found.back(), (std::pair<std::string, std::string>("Gateway address", "192.168.1.1")));
}

TEST_F(LibraryOverTcp, WriteOverTheNetworkChangesOnlyItsRegistersAndSurvivesTheRestart) {
  Start("fbc32");
  const Words before = ReadOverSerial(100, 80);
  CTCPIPService service(&tcp);
  const Words address{static_cast<std::uint16_t>(10 | (1 << 8)), static_cast<std::uint16_t>(2 | (3 << 8))};
  ASSERT_TRUE(service.EnableParamWriting(true));
  ASSERT_TRUE(service.WriteRegister(0, 100, 9, 2, address.data()));
  ASSERT_TRUE(service.SaveParameter());
  std::uint16_t saveState = 1;
  for (int poll = 0; poll < 100 && saveState != 2; ++poll) {
    ASSERT_TRUE(service.ReadRegister(0, 127, 1, 1, &saveState));
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(saveState, 2);
  ASSERT_TRUE(service.RestartSystem());
  std::this_thread::sleep_for(500ms);

  Words expected = before;
  expected[9] = address[0];
  expected[10] = address[1];
  EXPECT_EQ(ReadOverSerial(100, 80), expected);
  std::uint16_t word = 0;
  EXPECT_FALSE(service.ReadRegister(0, 0, 0, 1, &word));  // the restart closed the old connection
}

TEST_F(LibraryOverTcp, ConnectToAPortWhereNothingListens) {
  Start("fbc32");
  ORLA::CTCPIPConnection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<TCPIP IP-Address='127.0.0.1' ServicePort='" +
                                        std::to_string(device->TcpPort()) + "' CloseWaitTime='0'/>"));
  device->Stop();
  device.reset();
  ORLA::CScopedProbeTimeouts probe(connection);
  try {
    connection.Open();
    FAIL() << "opened";
  } catch (const ORLA::CTCPIPConnectionException& failure) {
    EXPECT_EQ(failure.m_dwErrorCode, kRefused);
  }
  EXPECT_EQ(connection.GetLastErrorCode(), kRefused);
}

// The probe of a connect, try by try: wait, open when closed (at most its 1 s), read one
// register, and close after a failed try so that no late answer reaches the next. It rides out a
// restart that drops the connection.
TEST_F(LibraryOverTcp, ProbeTriesRideOutARestart) {
  Start("fbc32", 1400, 2500ms);
  CTCPIPService service(&tcp);
  ASSERT_TRUE(service.RestartSystem());
  tcp.Close();
  int tries = 0;
  bool connected = false;
  {
    ORLA::CScopedProbeTimeouts probe(tcp);
    EXPECT_EQ(tcp.GetSettingsValue("ReceiveTimeoutSeconds"), "1");
    for (; tries < 10 && !connected; ++tries) {
      std::this_thread::sleep_for(500ms);
      try {
        if (!tcp.IsOpen()) tcp.Open();
        std::uint16_t word = 0;
        connected = service.ReadRegister(0, 0, 0, 1, &word);
      } catch (const ORLA::CTCPIPConnectionException&) {
        connected = false;
      }
      if (!connected && tcp.IsOpen()) tcp.Close();
    }
  }
  EXPECT_TRUE(connected);
  EXPECT_GT(tries, 1);  // the first tries met the silent device
  EXPECT_LE(tries, 10);
  EXPECT_EQ(tcp.GetSettingsValue("ReceiveTimeoutSeconds"), "1");  // the test's own setting again
}

TEST_F(LibraryOverTcp, NetworkFaultsFailTheRequestWithTheirOwnCode) {
  Start("fbc32");
  struct Case {
    const char* what;
    std::function<void(SimulatedDevice&)> fault;
    std::uint32_t code;
  };
  for (const Case& c : std::vector<Case>{
           {"error abort", [](SimulatedDevice& d) { d.ErrorAbortNext(1); }, kFramingCode},
           {"wrong identifier", [](SimulatedDevice& d) { d.WrongIdentifierNext(1); }, kFramingCode},
           {"wrong request number", [](SimulatedDevice& d) { d.WrongRequestNumberNext(1); }, kFramingCode},
           {"length above what is sent", [](SimulatedDevice& d) { d.OverstateLengthNext(1); }, kTimedOut},
           {"closed inside the request", [](SimulatedDevice& d) { d.CloseInsideRequestNext(1); }, kReset},
           {"acknowledged too late", [](SimulatedDevice& d) { d.SetNetworkDelay(1500ms); }, kTimedOut},
       }) {
    ORLA::CTCPIPConnection connection;
    Connect(connection);
    CTCPIPService service(&connection);
    c.fault(*device);
    std::uint16_t word = 0;
    EXPECT_FALSE(service.ReadRegister(0, 0, 0, 1, &word)) << c.what;
    EXPECT_EQ(service.GetLastErrorCode(), c.code) << c.what << std::hex << " 0x" << service.GetLastErrorCode();
    device->ClearFaults();
    connection.Close();
  }
}

TEST_F(LibraryOverTcp, FragmentedRequestsRepeatsAndFetchedResponses) {
  Start("fbc32", 64);
  ORLA::CServiceProtocol protocol(&tcp);
  ASSERT_TRUE(protocol.SetSettingsXML("<ServiceProtocol Protocol-ID='0x1288' MaxFragmentDataSize='64'/>"));
  ORLA::CServiceAPI api(&protocol);
  ASSERT_TRUE(api.EnableWriteAccess(true));
  Words values(80);
  std::iota(values.begin(), values.end(), std::uint16_t{0x4000});
  device->RepeatFragment(3, 2);  // 170 bytes in 3 fragments; the third is answered "from 2 again"
  ASSERT_TRUE(api.WriteRegister(0, 100, 0, 80, values.data())) << std::hex << api.GetLastCommandError();
  Words read(80, 0);
  ASSERT_TRUE(api.ReadRegister(0, 100, 0, 80, read.data()));  // 172 bytes fetched in 3 parts
  EXPECT_EQ(read, values);
  EXPECT_EQ(ReadOverSerial(100, 80), values);
}

TEST_F(LibraryOverTcp, UploadIsKeptAndSavedToFlash) {
  Start("pfc32");
  ORLA::CServiceProtocol protocol(&tcp);
  ORLA::CUpdateAPI update(&protocol);
  std::vector<char> firmware(100'000);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<char>(i * 31 + 7);
  std::vector<unsigned short> progress;
  const auto collect = [](unsigned short percent, bool, void* context) {
    static_cast<std::vector<unsigned short>*>(context)->push_back(percent);
  };
  ASSERT_TRUE(update.UploadRawHexFileToDevice(firmware.data(), static_cast<long>(firmware.size()), collect, &progress));
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  const fennec::sim::UpdateMemory memory = device->UpdateState();
  EXPECT_EQ(memory.lastUpload, std::vector<std::uint8_t>(firmware.begin(), firmware.end()));

  ASSERT_TRUE(update.SaveDataToFlash());
  unsigned short state = 0, percent = 0;
  ASSERT_TRUE(update.GetSaveDataToFlashState(state, percent));
  EXPECT_EQ(state, 1);
  std::this_thread::sleep_for(100ms);
  ASSERT_TRUE(update.GetSaveDataToFlashState(state, percent));
  EXPECT_EQ(state, 2);
  unsigned short a = 0, b = 0, c = 0;
  char* text = nullptr;
  ASSERT_TRUE(update.IdentifyDevice(a, b, c, &text));
  EXPECT_NE(std::string(text).find("ORDER=716-861"), std::string::npos);
  delete[] text;
}
