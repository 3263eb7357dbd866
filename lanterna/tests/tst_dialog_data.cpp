#include <gtest/gtest.h>

#include "app/DialogData.h"

using namespace lanterna;

namespace {

CIniFile Ini(const char* text) {
  CIniFile ini;
  ini.LoadFromText(text);
  return ini;
}

std::unique_ptr<tIdentification> Record(const char* orderNumber = "750-352") {
  auto record = std::make_unique<tIdentification>();
  record->orderNumber = orderNumber;
  record->description = "ETHERNET FBC";
  record->softwareVersion = "01.07.05(07)";
  record->networkIdKind = "MAC-ID";
  record->clockState = "DONE";
  record->clockFlag = 1;
  record->table0.assign(30, 0x1111);
  record->table100.assign(120, 0x2222);
  return record;
}

}  // namespace

TEST(DialogData, ASuccessfulReadLogsTheSequenceInOrder) {
  const CIniFile ini = Ini("[0750-0352]\nFBC=32\nPFC=0\nVersion=01.07.00(00)\nPAGE00=ALL\n");
  CDialogData data(ini, false);
  ASSERT_TRUE(data.BeginAction(kIdentify));
  data.OnThreadState({kIdentify, kInProgress});
  data.OnThreadState({kConnect, kInProgress, true});
  data.OnThreadState({kConnect, kDone, true});
  const ReportOutcome done = data.OnDone(DoneKind::Read, true, Record());
  EXPECT_TRUE(done.success);
  EXPECT_TRUE(done.messages.empty());
  EXPECT_EQ(data.LogText(),
            "Identifying connected device is in progress...\r\n"
            "    Connecting with the device is in progress...\r\n"
            "    Connecting with the device successfully done\r\n"
            "    Check article number '750-352' ...\r\n"
            "    Article number '750-352' is admissible\r\n"
            "    Check firmware version '01.07.05(07)' ...\r\n"
            "    Firmware version '01.07.05(07)' is admissible\r\n"
            "Connected device successfully identified.");
  EXPECT_EQ(data.StatusLine(), "Connected device successfully identified.");
  EXPECT_EQ(data.DeviceLine(), " 750-352, ETHERNET FBC");
  EXPECT_EQ(data.Is32(), 1u);
  EXPECT_EQ(data.Table100().size(), 120u);
  EXPECT_EQ(data.ShownPageKeys().size(), 9u);  // every page but PFC
  EXPECT_FALSE(data.IsBusy());
  EXPECT_TRUE(data.Buttons().extract);
  EXPECT_EQ(data.Identification().clockState, "");
}

TEST(DialogData, AFailingSubStepEndsTheVisibleActionAtOnce) {
  const CIniFile ini = Ini("");
  CDialogData data(ini, true);
  ASSERT_TRUE(data.BeginAction(kIdentify));
  data.OnThreadState({kIdentify, kInProgress});
  data.OnThreadState({kConnect, kInProgress, true});
  const ReportOutcome failed = data.OnThreadState({kConnect, kFailed, true, 0x20010200});
  EXPECT_TRUE(failed.actionEnded);
  EXPECT_EQ(failed.failureText, "Connecting with the device failed!");
  EXPECT_EQ(failed.failureCode, 0x20010200u);
  EXPECT_FALSE(failed.success);
  EXPECT_EQ(failed.logLine, "    ERROR: Connecting with the device failed!");
  EXPECT_EQ(failed.pageStateText, "     Connecting with the device failed!");
  EXPECT_EQ(data.StatusLine(), "ERROR: Connecting with the device failed!");
  EXPECT_EQ(data.Buttons(), (ActionButtons{.exit = true, .read = true, .restart = true}));

  auto record = std::make_unique<tIdentification>();
  record->description = "Connecting device failed!";
  const ReportOutcome done = data.OnDone(DoneKind::Read, false, std::move(record), 0x20010200);
  EXPECT_EQ(done.pageStateText, "Connecting device failed!");
  EXPECT_EQ(done.failureText, "Connecting device failed!");
  EXPECT_EQ(done.failureCode, 0x20010200u);
  EXPECT_EQ(done.logLine, "Identification of connected device failed!");
  EXPECT_EQ(data.ShownPageKeys(), std::vector<std::string>{"COMMON"});
}

TEST(DialogData, BusyRefusesASecondAction) {
  const CIniFile ini = Ini("");
  CDialogData data(ini, false);
  EXPECT_TRUE(data.BeginAction(kWriteSettings));
  EXPECT_FALSE(data.BeginAction(kIdentify));
  data.OnThreadState({kWriteSettings, kInProgress});
  data.OnThreadState({kEnableWriting, kDone, true});
  EXPECT_TRUE(data.IsBusy());  // a finished sub-step keeps the action running
  data.OnThreadState({kExtractFiles, kDone});
  EXPECT_FALSE(data.IsBusy());
  EXPECT_TRUE(data.BeginAction(kIdentify));
}

TEST(DialogData, ModifiedFlagMarksTheTitleOnceAndAWriteClearsIt) {
  const CIniFile ini = Ini("[0750-0352]\nFBC=32\nPFC=0\n");
  CDialogData data(ini, false);
  data.SetModified(1);
  data.SetModified(1);
  EXPECT_EQ(data.Title(), "ORLA Lanterna *");
  EXPECT_EQ(data.IsModified(), 1u);
  EXPECT_TRUE(data.Buttons().write);

  ASSERT_TRUE(data.BeginAction(kWriteSettings));
  data.OnDone(DoneKind::Write, false, Record());
  EXPECT_EQ(data.IsModified(), 1u);  // a failed write keeps the edits marked
  ASSERT_TRUE(data.BeginAction(kWriteSettings));
  data.OnDone(DoneKind::Write, true, Record());
  EXPECT_EQ(data.IsModified(), 0u);
  EXPECT_EQ(data.Title(), "ORLA Lanterna");
}

TEST(DialogData, SixteenBitDevicesGetNoFileSystemActions) {
  const CIniFile ini = Ini("[0750-0342]\nFBC=16\nPFC=0\nPAGE00=ALL\n");
  CDialogData data(ini, false);
  ASSERT_TRUE(data.BeginAction(kIdentify));
  data.OnDone(DoneKind::Read, true, Record("750-342"));
  EXPECT_FALSE(data.Buttons().extract);
  EXPECT_FALSE(data.Buttons().format);
  EXPECT_TRUE(data.Buttons().restart);
  EXPECT_EQ(data.ShownPageKeys(), (std::vector<std::string>{"COMMON", "TCPIP", "MODBUS", "PROTOCOL"}));
}

TEST(DialogData, AnInadmissibleDeviceKeepsItsDataButNotItsPages) {
  const CIniFile ini = Ini("[0750-0352]\nFBC=32\nPFC=32\n");
  CDialogData data(ini, false);
  ASSERT_TRUE(data.BeginAction(kIdentify));
  const ReportOutcome done = data.OnDone(DoneKind::Read, true, Record());
  EXPECT_FALSE(done.success);
  ASSERT_EQ(done.messages.size(), 1u);
  EXPECT_EQ(done.messages[0].substr(0, 17), "Inadmissible FBC!");
  EXPECT_EQ(data.Table0().size(), 30u);
  EXPECT_EQ(data.Identification().orderNumber, "750-352");
  EXPECT_EQ(data.ShownPageKeys(), std::vector<std::string>{"COMMON"});
  EXPECT_EQ(data.LogText().substr(data.LogText().rfind("\r\n") + 2), "Identification of connected device failed!");
}

TEST(DialogData, DeleteEmptiesTheLogAndLogsReady) {
  const CIniFile ini = Ini("");
  CDialogData data(ini, false);
  data.AddLog("    indented");
  EXPECT_EQ(data.StatusLine(), "indented");
  data.ClearLog();
  EXPECT_EQ(data.LogText(), "Ready");
}
