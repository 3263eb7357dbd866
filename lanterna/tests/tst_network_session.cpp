// The program session on the network road: the link's settings, the connect block's probe per
// try, and the actions against the simulated device served on 127.0.0.1.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Common/RegistyEx.h"
#include "SimulatorSupport.h"
#include "TempFolder.h"
#include "app/Configuration.h"
#include "app/DeviceActions.h"
#include "app/ProgramSession.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

const char* kIni = "[0716-0341]\nFBC=32\nPFC=0\nVersion=01.00.00(00)\nPAGE00=ALL\n"
                   "[0716-0312]\nFBC=16\nPFC=0\n";

constexpr std::uint32_t kRefused = 0x3000006F;

class CEndedView : public IActionView {
 public:
  std::vector<std::string> logLines;
  void ShowReport(const ReportOutcome& outcome) override { logLines.push_back(outcome.logLine); }
  void DeviceChanged(const std::string&) override {}
  void PollingTrace(const std::string&) override {}
};

class CSilentReports : public IWorkerReports {
 public:
  void ShowThreadState(const ThreadState&) override {}
  void Done(DoneKind, bool, std::unique_ptr<tIdentification>, std::uint32_t) override {}
  void DeviceChanged(const std::string&) override {}
  void PollingTrace(const std::string&) override {}
};

class NetworkSessionTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("FENNEC_REGISTRY", (m_store.Path() / "registry.xml").c_str(), 1); }
  void TearDown() override {
    m_session.reset();
    unsetenv("FENNEC_REGISTRY");
  }

  void StartDevice(const char* profile = "fbc32") {
    m_device = std::make_unique<fennec::sim::SimulatedDevice>(QuickDevice(profile));
    ASSERT_TRUE(m_device->Start()) << m_device->StartReport();
    ASSERT_EQ(m_device->StartTcp(0), 0);
  }

  void StartSession(std::unique_ptr<IDeviceLink> link) {
    CIniFile ini;
    ini.LoadFromText(kIni);
    m_session = std::make_unique<CProgramSession>(std::move(ini), std::move(link), true, false, QuickTimings());
  }

  std::vector<std::uint16_t> DeviceTable(unsigned table) {
    return m_device->InspectState([table](const auto& state) { return state.tables.All().at(table); });
  }

  TempFolder m_store;
  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  std::unique_ptr<CProgramSession> m_session;
  CEndedView m_view;
};

}  // namespace

TEST_F(NetworkSessionTest, TheLinkTakesTheStoredValuesUnderTheGivenHostAndPortAndSavesNothing) {
  cutils::CRegistryEx store(kProgramRegistryKey);
  ASSERT_TRUE(store.WriteString("TCPIP", "IP-Address", "192.168.7.7"));
  ASSERT_TRUE(store.WriteDWord("TCPIP", "ServicePort", 7000));
  ASSERT_TRUE(store.WriteDWord("TCPIP", "ReceiveTimeoutSeconds", 3));

  auto stored = MakeNetworkLink("10.0.0.5", std::nullopt);
  EXPECT_EQ(stored->Address(), "10.0.0.5:7000");
  EXPECT_EQ(stored->Connection().GetSettingsValue("ReceiveTimeoutSeconds"), "3");

  auto named = MakeNetworkLink("device-1", 16626);
  EXPECT_EQ(named->Address(), "device-1:16626");

  // A simulated device ignores the store; a quote in the host cannot break the document.
  auto fresh = MakeNetworkLink("a'b", std::nullopt, false);
  EXPECT_EQ(fresh->Address(), "a'b:6626");
  EXPECT_EQ(fresh->Connection().GetSettingsValue("ReceiveTimeoutSeconds"), "10");
  EXPECT_EQ(store.ReadString("TCPIP", "IP-Address", ""), "192.168.7.7");
}

TEST_F(NetworkSessionTest, AReadOverTcpGivesTheImagesAndIdentityOfTheSerialRead) {
  for (const char* profile : {"fbc32", "fbc16"}) {
    SCOPED_TRACE(profile);
    StartDevice(profile);
    StartSession(MakeNetworkLink("127.0.0.1", m_device->TcpPort(), false));
    ASSERT_TRUE(m_session->Run(SessionAction::Read, m_view)) << m_session->LastFailureText();
    const tIdentification overTcp = m_session->Data().Identification();
    const std::vector<std::uint16_t> table0 = m_session->Data().Table0();
    const std::vector<std::uint16_t> table100 = m_session->Data().Table100();
    EXPECT_FALSE(m_session->Connection().IsOpen());

    StartSession(MakeSerialLink(m_device->SlavePath(), false));
    ASSERT_TRUE(m_session->Run(SessionAction::Read, m_view)) << m_session->LastFailureText();
    const tIdentification overSerial = m_session->Data().Identification();
    EXPECT_EQ(overTcp.orderNumber, overSerial.orderNumber);
    EXPECT_EQ(overTcp.softwareVersion, overSerial.softwareVersion);
    EXPECT_EQ(overTcp.ipAddress, overSerial.ipAddress);
    EXPECT_EQ(overTcp.gateway, overSerial.gateway);
    EXPECT_EQ(overTcp.networkId, overSerial.networkId);
    EXPECT_EQ(overTcp.clockState, overSerial.clockState);
    EXPECT_EQ(table0, m_session->Data().Table0());
    EXPECT_EQ(table100, m_session->Data().Table100());
  }
}

TEST_F(NetworkSessionTest, AWriteOverTcpIsSavedAndTheDeviceIsReachedAgainAfterItsRestart) {
  StartDevice();
  StartSession(MakeNetworkLink("127.0.0.1", m_device->TcpPort(), false));
  ASSERT_TRUE(m_session->Run(SessionAction::Read, m_view));
  ASSERT_FALSE(m_session->Pages().Set("TCPIP.IPAddress", "10.1.2.3"));
  ASSERT_FALSE(m_session->Pages().Commit());
  m_session->Data().SetModified(1);
  const std::vector<std::uint16_t> written = m_session->Data().Table100();
  const auto startedAt = [this] { return m_device->InspectState([](const auto& state) { return state.startedAt.steady; }); };
  const auto startedBefore = startedAt();

  // The write restarts the device, which drops the connection and is silent for a while: the
  // probe after it opens a fresh connection for each try.
  ASSERT_TRUE(m_session->Run(SessionAction::Write, m_view)) << m_session->LastFailureText();
  EXPECT_EQ(m_view.logLines.back(), "Writing settings to the connected device successfully done");
  EXPECT_EQ(DeviceTable(100), written);
  EXPECT_GT(startedAt(), startedBefore);
}

TEST_F(NetworkSessionTest, AConnectToAPortNobodyServesFailsWithTheRefusal) {
  StartDevice();
  const std::uint16_t port = m_device->TcpPort();
  m_device.reset();
  StartSession(MakeNetworkLink("127.0.0.1", port, false));
  EXPECT_FALSE(m_session->Run(SessionAction::Read, m_view));
  EXPECT_EQ(m_session->LastFailureText(), "Connecting device failed!");
  EXPECT_EQ(m_session->LastFailureCode(), kRefused);
  EXPECT_NE(m_session->ConnectionAdvice().find("127.0.0.1"), std::string::npos);
}

TEST_F(NetworkSessionTest, ConnectRidesOutADeviceThatRefusesConnectionsWhileItRestarts) {
  StartDevice();
  const std::uint16_t port = m_device->TcpPort();
  m_device.reset();
  auto link = MakeNetworkLink("127.0.0.1", port, false);
  CSilentReports reports;
  ActionTimings timings = QuickTimings();
  timings.probeDelay = std::chrono::milliseconds(100);
  CDeviceActions actions(link->Connection(), link->Service(), reports, false, timings, link->Probing());

  // The first tries are refused; the device comes up on its port while the probe goes on.
  auto connected = std::async(std::launch::async, [&] { return actions.Connect(10); });
  std::this_thread::sleep_for(std::chrono::milliseconds(350));
  m_device = std::make_unique<fennec::sim::SimulatedDevice>(QuickDevice("fbc32"));
  ASSERT_TRUE(m_device->Start());
  ASSERT_EQ(m_device->StartTcp(port), 0);
  EXPECT_TRUE(connected.get());
  EXPECT_FALSE(link->Connection().IsOpen());

  // Once is not enough while it is away.
  m_device.reset();
  EXPECT_FALSE(actions.Connect(1));
}
