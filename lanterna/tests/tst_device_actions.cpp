#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Communication/RS232Connection.h"
#include "SIOService.h"
#include "SimulatorSupport.h"
#include "app/DeviceActions.h"
#include "app/DialogData.h"

using namespace lanterna;
using fennec::sim::SimulatedDevice;
using namespace lanterna::test;

namespace {

const char* kIni =
    "[0716-0341]\nFBC=32\nPFC=0\nVersion=01.00.00(00)\nPAGE00=ALL\n"
    "[0716-0861]\nFBC=0\nPFC=32\nPAGE00=ALL\n"
    "[0716-0312]\nFBC=16\nPFC=0\n"
    "[0716-0301]\nFBC=16\nPFC=0\n";

// The front end of a test: feeds the dialog data as a window would, and keeps what a user sees.
class CTestFrontEnd : public IWorkerReports {
 public:
  explicit CTestFrontEnd(CDialogData& data) : m_data(data) {}

  std::vector<std::string> warnings;
  std::vector<std::string> traces;
  ReportOutcome lastDone;

  void ShowThreadState(const ThreadState& state) override { m_data.OnThreadState(state); }
  void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record, std::uint32_t code) override {
    lastDone = m_data.OnDone(kind, success, std::move(record), code);
  }
  void DeviceChanged(const std::string& text) override { warnings.push_back(text); }
  void PollingTrace(const std::string& trace) override { traces.push_back(trace); }

 private:
  CDialogData& m_data;
};

// One simulated device on a pseudo-terminal, the program's connection and service on it.
class DeviceActionsTest : public ::testing::Test {
 protected:
  void StartDevice(const char* profile) {
    m_device = std::make_unique<SimulatedDevice>(QuickDevice(profile));
    ASSERT_TRUE(m_device->Start()) << m_device->StartReport();
    ASSERT_TRUE(m_connection.SetSettingsXML("<RS232 device='" + m_device->SlavePath() + "' timeout='300'/>"));
  }

  CDeviceActions Actions(bool debug = false) { return CDeviceActions(m_connection, m_service, m_frontEnd, debug, QuickTimings()); }

  bool Read() {
    EXPECT_TRUE(m_data.BeginAction(kIdentify));
    return Actions().Read();
  }

  const std::vector<std::string>& LogLines() const { return m_data.LogLines(); }

  std::string Profile(const char* name, const char* field) const {
    const auto& identity = fennec::sim::FindProfile(name)->identity;
    return std::string(field) == "sw" ? identity.softwareVersion : identity.orderNumber;
  }

  CIniFile m_ini = [] {
    CIniFile ini;
    ini.LoadFromText(kIni);
    return ini;
  }();
  CDialogData m_data{m_ini, false};
  CTestFrontEnd m_frontEnd{m_data};
  ORLA::CRS232Connection m_connection;
  CSIOService m_service{&m_connection};
  std::unique_ptr<SimulatedDevice> m_device;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(DeviceActionsTest, AReadOfEachAdmissibleProfileLogsTheSequenceInOrder) {
  for (const char* profile : {"fbc32", "pfc32", "fbc16", "fbcold"}) {
    SCOPED_TRACE(profile);
    StartDevice(profile);
    m_data.ClearLog();
    ASSERT_TRUE(Read()) << m_frontEnd.lastDone.pageStateText;
    const std::string orderNumber = Profile(profile, "order");
    const std::string version = Profile(profile, "sw");
    EXPECT_EQ(LogLines(), (Lines{"Ready", "Identifying connected device is in progress...",
                                 "    Connecting with the device is in progress...",
                                 "    Connecting with the device successfully done",
                                 "    Check article number '" + orderNumber + "' ...",
                                 "    Article number '" + orderNumber + "' is admissible",
                                 "    Check firmware version '" + version + "' ...",
                                 "    Firmware version '" + version + "' is admissible",
                                 "Connected device successfully identified."}));
    EXPECT_EQ(m_data.Identification().orderNumber, orderNumber);
    EXPECT_FALSE(m_data.Table0().empty());
    EXPECT_FALSE(m_data.Table100().empty());
    EXPECT_FALSE(m_data.Identification().ipAddress.empty());
    EXPECT_FALSE(m_connection.IsOpen());
  }
}

TEST_F(DeviceActionsTest, ADeviceOfAnotherKindIsReadButNotAdmitted) {
  StartDevice("fbcnode");
  EXPECT_TRUE(Read());  // the worker read it; the dialog refuses it
  EXPECT_FALSE(m_frontEnd.lastDone.success);
  EXPECT_EQ(m_frontEnd.lastDone.messages.size(), 1u);
  EXPECT_EQ(m_data.ShownPageKeys(), Lines{"COMMON"});
  EXPECT_EQ(LogLines().back(), "Identification of connected device failed!");
}

TEST_F(DeviceActionsTest, ASilentDeviceEndsWithConnectingFailed) {
  StartDevice("fbc32");
  m_device->DropNext(1000);
  EXPECT_FALSE(Read());
  EXPECT_EQ(LogLines(), (Lines{"Identifying connected device is in progress...",
                               "    Connecting with the device is in progress...",
                               "    ERROR: Connecting with the device failed!",
                               "Identification of connected device failed!"}));
  EXPECT_EQ(m_frontEnd.lastDone.pageStateText, "Connecting device failed!");
  // The probe's short time-out does not outlive it.
  EXPECT_EQ(m_connection.GetSettingsValue("timeout"), "300");
}

TEST_F(DeviceActionsTest, WritingTheUnchangedImagesRunsEverySubStepAndEndsReidentified) {
  StartDevice("fbc32");
  ASSERT_TRUE(Read());
  const auto before = m_device->InspectState([](const auto& state) { return state.tables.All(); });
  m_data.ClearLog();
  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  ASSERT_TRUE(Actions().Write(m_data.Identification().orderNumber, m_data.Table0(), m_data.Table100()))
      << m_data.LogText();
  const Lines expected = {"Ready",
                          "Writing settings is in progress...",
                          "    Connecting with the device is in progress...",
                          "    Connecting with the device successfully done",
                          "    Enabeling write access is in progress...",
                          "    Enabeling write access successfully done",
                          "    Saving parameters is in progress...",
                          "    Saving parameters successfully done",
                          "    Software-Reset is in progress...",
                          "    Software-Reset successfully done",
                          "    Connecting with the device is in progress...",
                          "    Connecting with the device successfully done"};
  const Lines lines = LogLines();
  ASSERT_GE(lines.size(), expected.size() + 5);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
  EXPECT_EQ(lines.back(), "Writing settings to the connected device successfully done");
  const auto after = m_device->InspectState([](const auto& state) { return state.tables.All(); });
  EXPECT_EQ(after.at(0), before.at(0));
  EXPECT_EQ(after.at(100), before.at(100));
}

TEST_F(DeviceActionsTest, AWriteToASwappedDeviceIsRefusedWithBothOrderNumbers) {
  StartDevice("fbc32");
  ASSERT_TRUE(Read());
  const std::string readOrderNumber = m_data.Identification().orderNumber;
  auto table100 = m_data.Table100();
  table100[9] ^= 0x0101;
  StartDevice("pfc32");  // another device on the cable
  const auto parameterTables = [](const auto& state) {
    return std::make_pair(state.tables.All().at(0), state.tables.All().at(100));
  };
  const auto before = m_device->InspectState(parameterTables);

  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  EXPECT_FALSE(Actions().Write(readOrderNumber, m_data.Table0(), table100));
  ASSERT_EQ(m_frontEnd.warnings.size(), 1u);
  EXPECT_EQ(m_frontEnd.warnings[0], "Connected device was changed!\n\nIt is not possible to write the settings\nof a " +
                                        readOrderNumber + " to a " + Profile("pfc32", "order") + ".");
  EXPECT_EQ(m_frontEnd.lastDone.pageStateText, "Connected device was changed!");
  EXPECT_EQ(m_device->InspectState(parameterTables), before);
  EXPECT_FALSE(m_device->InspectState([](const auto& state) { return state.writeEnabled; }));
}

TEST_F(DeviceActionsTest, AWrittenChangeIsSavedAndReadBackAfterTheRestart) {
  StartDevice("fbc32");
  ASSERT_TRUE(Read());
  auto table100 = m_data.Table100();
  table100[9] = 0x0A0A;
  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  ASSERT_TRUE(Actions().Write(m_data.Identification().orderNumber, m_data.Table0(), table100)) << m_data.LogText();
  EXPECT_EQ(m_data.Table100()[9], 0x0A0A);  // the identification after the restart read it back
  EXPECT_EQ(m_data.Identification().ipAddress, "10.10." + std::to_string(table100[10] & 0xFF) + "." +
                                                    std::to_string(table100[10] >> 8));
}

TEST_F(DeviceActionsTest, APowerFailureBetweenWritingAndSavingFailsTheWriteThatTheSaveAnswered) {
  auto options = QuickDevice("fbc32");
  options.timings.restartSilence = std::chrono::milliseconds(100);  // back before the save's repetition
  m_device = std::make_unique<SimulatedDevice>(std::move(options));
  ASSERT_TRUE(m_device->Start()) << m_device->StartReport();
  ASSERT_TRUE(m_connection.SetSettingsXML("<RS232 device='" + m_device->SlavePath() + "' timeout='300'/>"));
  ASSERT_TRUE(Read());
  auto table100 = m_data.Table100();
  const std::uint16_t saved = table100[9];
  table100[9] = 0x0A0A;
  // The write's exchanges up to the last of table 100: the probe, the identification, the
  // enabling, the table list and register 26 of table 0, the table list and table 100 in two.
  m_device->ResetAfter(12);
  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  EXPECT_FALSE(Actions().Write(m_data.Identification().orderNumber, m_data.Table0(), table100)) << m_data.LogText();
  EXPECT_EQ(m_frontEnd.lastDone.pageStateText, "Checking written settings failed!") << m_data.LogText();
  EXPECT_NE(m_data.LogText().find("    Saving parameters successfully done"), std::string::npos) << m_data.LogText();
  EXPECT_EQ(m_device->InspectState([](const auto& state) { return state.tables.Word(100, 9); }), saved);
}

TEST_F(DeviceActionsTest, SaveRefusedAsNotSupportedStillRestarts) {
  StartDevice("fbc32");
  ASSERT_TRUE(Read());
  m_device->RejectService(1, 5, 0x8212);
  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  ASSERT_TRUE(Actions().Write(m_data.Identification().orderNumber, m_data.Table0(), m_data.Table100()))
      << m_data.LogText();
  EXPECT_NE(m_data.LogText().find("    Saving parameters successfully done\r\n    Software-Reset is in progress..."),
            std::string::npos);
}

TEST_F(DeviceActionsTest, ATable0ImageShorterThan27RegistersFailsAtTheCommonSettings) {
  StartDevice("fbc32");
  ASSERT_TRUE(Read());
  auto table0 = m_data.Table0();
  table0.resize(20);
  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  EXPECT_FALSE(Actions().Write(m_data.Identification().orderNumber, table0, m_data.Table100()));
  EXPECT_EQ(m_frontEnd.lastDone.pageStateText, "Writing common settings failed!");
  EXPECT_EQ(m_data.LogText().find("Saving parameters"), std::string::npos);
}

TEST_F(DeviceActionsTest, WithDebugTheSavePollingTraceIsShown) {
  StartDevice("fbc32");
  ASSERT_TRUE(Read());
  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  ASSERT_TRUE(Actions(true).Write(m_data.Identification().orderNumber, m_data.Table0(), m_data.Table100()));
  ASSERT_EQ(m_frontEnd.traces.size(), 1u);
  const std::string& trace = m_frontEnd.traces[0];
  EXPECT_EQ(trace.substr(0, 14), "01. State = 1\n") << trace;
  EXPECT_NE(trace.find("State = 2\n"), std::string::npos) << trace;
  EXPECT_TRUE(trace.ends_with("State after polling = 2\n")) << trace;
}

TEST_F(DeviceActionsTest, ExtractAndFormatPollUntilTheDeviceIsDone) {
  StartDevice("fbc32");
  ASSERT_TRUE(Read());
  const std::string orderNumber = m_data.Identification().orderNumber;
  for (const int action : {kExtractFiles, kFormatFlash}) {
    m_data.ClearLog();
    ASSERT_TRUE(m_data.BeginAction(action));
    const bool done = action == kExtractFiles ? Actions().Extract(orderNumber) : Actions().Format(orderNumber);
    EXPECT_TRUE(done) << m_data.LogText();
    const Lines lines = LogLines();
    const std::string name = ActionName(action);
    EXPECT_GE(std::count(lines.begin(), lines.end(), "    " + name + " is in progress..."), 3) << m_data.LogText();
    EXPECT_EQ(lines.back(), name + " successfully done");
    EXPECT_FALSE(m_device->InspectState([](const auto& state) { return state.fileJob.has_value(); }));
  }
}

TEST_F(DeviceActionsTest, ASaveThatNeverFinishesFailsInsteadOfPollingForever) {
  auto options = QuickDevice("fbc32");
  options.timings.saveBusy = std::chrono::milliseconds(60000);
  m_device = std::make_unique<SimulatedDevice>(options);
  ASSERT_TRUE(m_device->Start());
  ASSERT_TRUE(m_connection.SetSettingsXML("<RS232 device='" + m_device->SlavePath() + "' timeout='300'/>"));
  ASSERT_TRUE(Read());
  ActionTimings timings = QuickTimings();
  timings.maxSaveBusyTime = std::chrono::milliseconds(300);
  ASSERT_TRUE(m_data.BeginAction(kWriteSettings));
  EXPECT_FALSE(CDeviceActions(m_connection, m_service, m_frontEnd, false, timings)
                   .Write(m_data.Identification().orderNumber, m_data.Table0(), m_data.Table100()));
  EXPECT_EQ(m_frontEnd.lastDone.pageStateText, "Saving parameters failed!");
  EXPECT_EQ(m_data.LogText().find("Software-Reset"), std::string::npos);
}

TEST(WrittenCheck, OnlyTheWordsTheWriteChangedMustBeHeldAfterTheRestart) {
  const std::vector<std::uint16_t> read100{1, 2, 3, 4};
  const std::vector<std::uint16_t> written100{1, 9, 3, 4};
  std::vector<std::uint16_t> table0(32, 0);
  const ReadImages asRead{table0, read100};
  const auto afterRestart = [&](std::vector<std::uint16_t> table100, std::uint16_t register26 = 0) {
    tIdentification record;
    record.table0 = table0;
    record.table0[26] = register26;
    record.table100 = std::move(table100);
    return record;
  };

  EXPECT_TRUE(HoldsWritten(afterRestart({1, 9, 3, 4}), table0, written100, asRead));
  // The device keeps a word of its own up to date: not the write's concern.
  EXPECT_TRUE(HoldsWritten(afterRestart({1, 9, 3, 7}), table0, written100, asRead));
  // The old settings came back: the changed word tells.
  EXPECT_FALSE(HoldsWritten(afterRestart({1, 2, 3, 4}), table0, written100, asRead));
  EXPECT_FALSE(HoldsWritten(afterRestart({1, 9, 3}), table0, written100, asRead));
  // Without the images as read every written word counts.
  EXPECT_FALSE(HoldsWritten(afterRestart({1, 9, 3, 7}), table0, written100, {}));

  std::vector<std::uint16_t> written0 = table0;
  written0[26] = 5;
  EXPECT_TRUE(HoldsWritten(afterRestart(written100, 5), written0, written100, asRead));
  EXPECT_FALSE(HoldsWritten(afterRestart(written100, 0), written0, written100, asRead));
  EXPECT_TRUE(HoldsWritten(afterRestart(written100, 8), table0, written100, asRead));
}
