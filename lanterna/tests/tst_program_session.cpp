#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DispatcherThread.h"
#include "SimulatorSupport.h"
#include "TempFolder.h"
#include "app/Configuration.h"
#include "app/ProgramSession.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

const char* kIni = "[0716-0341]\nFBC=32\nPFC=0\nVersion=01.00.00(00)\nPAGE00=ALL\n";

// A front end that keeps what it was shown and on which thread.
class CRecordingView : public IActionView {
 public:
  std::vector<std::string> logLines;
  std::vector<ReportOutcome> ended;
  std::vector<std::thread::id> threads;

  void ShowReport(const ReportOutcome& outcome) override {
    logLines.push_back(outcome.logLine);
    if (outcome.actionEnded) ended.push_back(outcome);
    threads.push_back(std::this_thread::get_id());
  }
  void DeviceChanged(const std::string& text) override { logLines.push_back("changed: " + text); }
  void PollingTrace(const std::string& trace) override { logLines.push_back("trace: " + trace); }
};

// A session on a simulated coupler, with the program's store in a folder of the test's own.
class ProgramSessionTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("FENNEC_REGISTRY", (m_store.Path() / "registry.xml").c_str(), 1); }
  void TearDown() override {
    m_session.reset();
    unsetenv("FENNEC_REGISTRY");
  }

  void StartSession(const char* profile = "fbc32") {
    m_device = std::make_unique<fennec::sim::SimulatedDevice>(QuickDevice(profile));
    ASSERT_TRUE(m_device->Start()) << m_device->StartReport();
    CIniFile ini;
    ini.LoadFromText(kIni);
    m_session = std::make_unique<CProgramSession>(std::move(ini), MakeSerialLink(m_device->SlavePath(), false),
                                                  true, false, QuickTimings());
  }

  std::vector<std::uint16_t> DeviceTable(unsigned table) {
    return m_device->InspectState([table](const auto& state) { return state.tables.All().at(table); });
  }

  TempFolder m_store;
  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  std::unique_ptr<CProgramSession> m_session;
  CRecordingView m_view;
};

}  // namespace

TEST_F(ProgramSessionTest, ARunReadShowsEveryReportAndLoadsThePagesAfterwards) {
  StartSession();
  EXPECT_FALSE(m_session->Pages().TCPIP().IsLoaded());
  ASSERT_TRUE(m_session->Run(SessionAction::Read, m_view)) << m_session->LastFailureText();

  EXPECT_EQ(m_view.logLines.front(), "Identifying connected device is in progress...");
  EXPECT_EQ(m_view.logLines.back(), "Connected device successfully identified.");
  ASSERT_EQ(m_view.ended.size(), 1u);
  EXPECT_TRUE(m_view.ended[0].success);
  EXPECT_EQ(m_session->ClockState(), "DONE");
  EXPECT_TRUE(m_session->Pages().TCPIP().IsLoaded());
  EXPECT_EQ(m_session->Data().Table100(), DeviceTable(100));
  EXPECT_EQ(cutils::CRegistryEx(kProgramRegistryKey).ReadString("Version", "ProductVersion", ""), "4.5");
  EXPECT_FALSE(m_session->Connection().IsOpen());
}

TEST_F(ProgramSessionTest, AFailedReadKeepsItsTextAndTheFirstFailedStepsCode) {
  StartSession();
  m_device->DropNext(1000);
  EXPECT_FALSE(m_session->Run(SessionAction::Read, m_view));
  EXPECT_EQ(m_session->LastFailureText(), "Connecting device failed!");
  EXPECT_EQ(m_session->LastFailureCode() & 0xFFFF0000u, 0x20010000u);  // a line error of the serial group
  EXPECT_FALSE(m_session->Pages().TCPIP().IsLoaded());
  EXPECT_EQ(m_session->Data().ShownPageKeys(), std::vector<std::string>{"COMMON"});

  m_device->ClearFaults();
  EXPECT_TRUE(m_session->Run(SessionAction::Read, m_view));
  EXPECT_TRUE(m_session->LastFailureText().empty());
  EXPECT_EQ(m_session->LastFailureCode(), 0u);
}

TEST_F(ProgramSessionTest, AStartedWriteRunsOnTheDispatcherAndWritesTheImagesAsTheyWereAtItsStart) {
  StartSession();
  ASSERT_TRUE(m_session->Run(SessionAction::Read, m_view));
  ASSERT_FALSE(m_session->Pages().Set("TCPIP.IPAddress", "10.1.2.3"));
  ASSERT_FALSE(m_session->Pages().Commit());
  m_session->Data().SetModified(1);
  const std::vector<std::uint16_t> written = m_session->Data().Table100();
  m_view = {};

  CDispatcherThread dispatcher;
  std::promise<bool> ended;
  std::thread::id endedOn;
  dispatcher.Post([&] {
    ASSERT_TRUE(m_session->Start(
        SessionAction::Write, m_view, [&](const std::function<void()>& task) { dispatcher.Post(task); },
        [&](bool succeeded) {
          endedOn = std::this_thread::get_id();
          ended.set_value(succeeded);
        }));
    // The front end goes on editing while the worker writes what it was handed.
    m_session->Data().Table100()[9] = 0xDEAD;
    EXPECT_FALSE(m_session->Start(SessionAction::Read, m_view, {}, {}));
  });
  ASSERT_TRUE(ended.get_future().get()) << m_session->LastFailureText();
  m_session->WaitForWorker();

  EXPECT_EQ(endedOn, dispatcher.Id());
  for (const auto& id : m_view.threads) EXPECT_EQ(id, dispatcher.Id());
  EXPECT_EQ(m_view.logLines.back(), "Writing settings to the connected device successfully done");
  EXPECT_EQ(DeviceTable(100), written);
  EXPECT_EQ(m_session->Pages().TCPIP().FindParameter("TCPIP.IPAddress")->Text(), "10.1.2.3");
  EXPECT_EQ(m_session->Data().Title(), CDialogData::kTitle);
}

TEST_F(ProgramSessionTest, RegistersAndTheClockGoThroughTheSessionsPort) {
  StartSession();
  std::vector<std::uint16_t> words(3);
  ASSERT_TRUE(m_session->ReadRegisters(100, 9, words));
  const std::vector<std::uint16_t> table = DeviceTable(100);
  EXPECT_EQ(words, std::vector<std::uint16_t>(table.begin() + 9, table.begin() + 12));
  EXPECT_TRUE(m_session->Connection().IsOpen());
  std::uint32_t seconds = 0;
  std::uint16_t zone = 0;
  EXPECT_TRUE(m_session->Clock().GetRealTimeClock(seconds, zone));
  m_session->ClosePort();
  EXPECT_FALSE(m_session->Connection().IsOpen());
}
