// The device API over the framed protocol, against a device played on the scripted connection.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "Communication/ServiceAPI.h"
#include "Communication/ServiceProtocol.h"
#include "FramedBytes.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"

using namespace framedtest;
using ORLA::CServiceAPI;

namespace {

constexpr std::uint32_t kMalformed = 0x20080000;

class ServiceAPITest : public ::testing::Test {
 protected:
  void SetUp() override {
    line.Open();
    device.PlayOn(line);
  }

  void Answer(Bytes response) { device.AnswerAlways(std::move(response)); }

  Bytes LastRequest() const { return device.requests.empty() ? Bytes{} : device.requests.back(); }

  ScriptedConnection line;
  ORLA::CServiceProtocol protocol{&line};
  CServiceAPI api{&protocol};
  BlockDevice device;
  fennec::platform::DebugCapture quiet;
};

struct CharBuffer {
  char* text = nullptr;
  ~CharBuffer() { delete[] text; }
};

}  // namespace

TEST_F(ServiceAPITest, EveryCommandOnAClosedConnectionSendsNothing) {
  line.Close();
  unsigned short word = 0;
  unsigned int time = 0;
  short offset = 0;
  CharBuffer text;
  ORLA::t_DeviceStates states{};
  ORLA::t_KBusState bus{};
  ORLA::t_KBMEntry entry{};
  ORLA::t_Table_Details* tables = nullptr;
  const ORLA::t_Test_Bits bits{1};
  unsigned short words[2] = {};
  struct Case {
    std::uint32_t number;
    std::function<bool()> call;
  };
  const std::vector<Case> cases{
      {3, [&] { return api.IdentifyDevice(word, word, word, &text.text); }},
      {4, [&] { return api.EnableWriteAccess(true); }},
      {5, [&] { return api.RestartSystem(word); }},
      {6, [&] { return api.ResetParameter(word); }},
      {7, [&] { return api.StoreParameter(word); }},
      {8, [&] { return api.GetDeviceState(&states); }},
      {9, [&] { return api.EnableMonitorMode(true); }},
      {10, [&] { return api.EnableControlMode(false); }},
      {11, [&] { return api.GetNetworkID(&text.text); }},
      {12, [&] { return api.SetFactoryTestMode(&bits); }},
      {8, [&] { return api.GetTerminalBusState(&bus); }},
      {13, [&] { return api.GetInternalVariables(&text.text); }},
      {14, [&] { return api.GetTableInfo(word, &tables); }},
      {15, [&] { return api.EnableTerminalBusExtension(true); }},
      {16, [&] { return api.GetRealTimeClock(time, offset); }},
      {17, [&] { return api.SetRealTimeClock(1, 1); }},
      {30, [&] { return api.ControlParamSequence(1, 2, 3); }},
      {18, [&] { return api.RestartTerminalBus(word); }},
      {19, [&] { return api.GetCommandState(1, word); }},
      {20, [&] { return api.GetTerminalBusMonitorSize(word); }},
      {21, [&] { return api.SetTerminalBusMonitorFirst(word); }},
      {22, [&] { return api.GetTerminalBusMonitorEntry(&entry); }},
      {23, [&] { return api.ClearTerminalBusMonitor(word); }},
      {24, [&] { return api.ExtractFiles(word, ORLA::eFileGroups{1}); }},
      {25, [&] { return api.FormatFileSystem(word, word); }},
      {26, [&] { return api.RefreshFilesystem(word, ORLA::eFileGroups{1}); }},
      {27, [&] { return api.GetExtractFilesState(word, word); }},
      {28, [&] { return api.ReadRegister(0, 0, 0, 2, words); }},
      {29, [&] { return api.WriteRegister(0, 0, 0, 2, words); }},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(c.call()) << c.number;
    EXPECT_EQ(api.GetLastCommandError(), c.number);
    EXPECT_EQ(fennec::platform::GetThreadLastError(), c.number);
  }
  EXPECT_TRUE(line.writes.empty());
  EXPECT_EQ(tables, nullptr);
}

TEST_F(ServiceAPITest, SwitchesAreConfirmedByTheWordTheDeviceSendsBack) {
  struct Case {
    const char* what;
    std::function<bool()> call;
    Bytes request;
    Bytes response;
    bool confirmed;
  };
  for (const Case& c : std::vector<Case>{
           {"write access on", [&] { return api.EnableWriteAccess(true); }, Words({0x0101, 0x6E1B}),
            Words({0x0101, 0, 1}), true},
           {"write access not given", [&] { return api.EnableWriteAccess(true); }, Words({0x0101, 0x6E1B}),
            Words({0x0101, 0, 0}), false},
           {"write access off", [&] { return api.EnableWriteAccess(false); }, Words({0x0101, 0}), Words({0x0101, 0, 0}),
            true},
           {"control mode on", [&] { return api.EnableControlMode(true); }, Words({0x010B, 2}), Words({0x010B, 0, 2}),
            true},
           {"control mode answered 1", [&] { return api.EnableControlMode(true); }, Words({0x010B, 2}),
            Words({0x010B, 0, 1}), false},
           {"monitor mode", [&] { return api.EnableMonitorMode(true); }, Words({0x010A, 1}), Words({0x010A, 0, 5}),
            true},
           {"bus extension off", [&] { return api.EnableTerminalBusExtension(false); }, Words({0x0115, 0}),
            Words({0x0115, 0, 1}), false},
           {"switch without its word", [&] { return api.EnableMonitorMode(false); }, Words({0x010A, 0}),
            Words({0x010A, 0}), false},
       }) {
    Answer(c.response);
    EXPECT_EQ(c.call(), c.confirmed) << c.what;
    EXPECT_EQ(LastRequest(), c.request) << c.what;
    if (!c.confirmed) {
      EXPECT_EQ(api.GetLastCommandError(), kMalformed) << c.what;
    }
  }
}

TEST_F(ServiceAPITest, RefusalsAndAnswersToOtherCommands) {
  unsigned short result = 0;
  struct Case {
    const char* what;
    Bytes response;
    bool done;
    std::uint32_t error;
  };
  for (const Case& c : std::vector<Case>{
           {"done", Words({0x0102, 0, 7}), true, 0},
           {"refused", Words({0x0102, 0x8214, 7}), false, 0x20088214},
           {"another command's answer", Words({0x0105, 0, 7}), false, kMalformed},
           {"another command refused", Words({0x0105, 0x8212}), false, 0x20088212},
           {"no result word", Words({0x0102, 0}), false, kMalformed},
           {"not even a status", Bytes{0x02}, false, kMalformed},
       }) {
    Answer(c.response);
    result = 0;
    EXPECT_EQ(api.RestartSystem(result), c.done) << c.what;
    if (c.done) {
      EXPECT_EQ(result, 7);
    } else {
      EXPECT_EQ(api.GetLastCommandError(), c.error) << c.what;
      EXPECT_EQ(fennec::platform::GetThreadLastError(), c.error) << c.what;
    }
  }
}

TEST_F(ServiceAPITest, FileSystemCommandsAcceptStillRunning) {
  unsigned short result = 0;
  for (const std::uint16_t status : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{0x821D}}) {
    Answer(Words({0x0301, status, 12}));
    EXPECT_TRUE(api.ExtractFiles(result, ORLA::eFileGroups{0xFFFF})) << status;
    EXPECT_EQ(result, 12);
  }
  EXPECT_EQ(LastRequest(), Words({0x0301, 0xFFFF}));
  Answer(Words({0x0302, 0x8212}));
  EXPECT_FALSE(api.FormatFileSystem(result, 5));
  EXPECT_EQ(api.GetLastCommandError(), 0x20088212u);
  unsigned short a = 0;
  unsigned short b = 0;
  Answer(Words({0x0304, 0x821D, 3, 40}));
  EXPECT_TRUE(api.GetExtractFilesState(a, b));
  EXPECT_EQ(a, 3);
  EXPECT_EQ(b, 40);
}

TEST_F(ServiceAPITest, ValuesPassedInTheDevicesOrder) {
  Answer(Words({0x0120, 0}));
  EXPECT_TRUE(api.ControlParamSequence(1, 2, 3));
  EXPECT_EQ(LastRequest(), Words({0x0120, 1, 3, 2}));
  Answer(Words({0x0117, 0}));
  EXPECT_TRUE(api.SetRealTimeClock(0x65A1B2C3, -2));
  EXPECT_EQ(LastRequest(), Words({0x0117, 0xB2C3, 0x65A1, 0xFFFE}));
  unsigned int time = 0;
  short offset = 0;
  Answer(Words({0x0116, 0, 0xB2C3, 0x65A1, 0xFFFE}));
  EXPECT_TRUE(api.GetRealTimeClock(time, offset));
  EXPECT_EQ(time, 0x65A1B2C3u);
  EXPECT_EQ(offset, -2);
}

TEST_F(ServiceAPITest, RegisterCommands) {
  unsigned short words[3] = {0xAAAA, 0xAAAA, 0xAAAA};
  const Bytes echo = Words({0x0401, 0, 100, 9});
  const auto answer = [&](std::initializer_list<std::uint16_t> tail) {
    Bytes response = Words({0x0401, 0, 100, 9, 3});
    const Bytes rest = Words(tail);
    response.insert(response.end(), rest.begin(), rest.end());
    return response;
  };
  Answer(answer({0, 0x11, 0x22, 0x33}));
  ASSERT_TRUE(api.ReadRegister(0, 100, 9, 3, words));
  EXPECT_EQ(LastRequest(), Words({0x0401, 0, 100, 9, 3}));
  EXPECT_EQ(words[2], 0x33);

  struct Case {
    const char* what;
    Bytes response;
    std::uint32_t error;
  };
  for (const Case& c : std::vector<Case>{
           {"refused by a module", answer({0xFFFC}), 0x20088302},
           {"invalid table", answer({0x8200}), 0x20088200},
           {"fewer words than asked", answer({0, 1, 2}), kMalformed},
           {"echo of another register", Words({0x0401, 0, 100, 8, 3, 0, 1, 2, 3}), kMalformed},
       }) {
    std::fill(std::begin(words), std::end(words), 0xAAAA);
    Answer(c.response);
    EXPECT_FALSE(api.ReadRegister(0, 100, 9, 3, words)) << c.what;
    EXPECT_EQ(api.GetLastCommandError(), c.error) << c.what;
    EXPECT_EQ(words[0], 0xAAAA) << c.what;
  }

  const unsigned short values[2] = {0x1234, 0x5678};
  Answer(Words({0x0402, 0, 0, 26, 2, 0}));
  EXPECT_TRUE(api.WriteRegister(0, 0, 26, 2, values));
  EXPECT_EQ(LastRequest(), Words({0x0402, 0, 0, 26, 2, 0x1234, 0x5678}));
  Answer(Words({0x0402, 0, 0, 26, 2, 0xFFFC}));
  EXPECT_FALSE(api.WriteRegister(0, 0, 26, 2, values));
  EXPECT_EQ(api.GetLastCommandError(), 0x20088302u);
}

TEST_F(ServiceAPITest, TextsAreHandedOverWithZerosBehind) {
  CharBuffer text;
  text.text = new char[3]{'o', 'l', 'd'};  // released by the call; ASan reports a leak otherwise
  unsigned short a = 0, b = 0, c = 0;
  Bytes response = Words({0x0108, 0, 1, 2, 3});
  const std::string pairs = "ORDER=716-341;SN=77";
  response.insert(response.end(), pairs.begin(), pairs.end());
  Answer(response);
  ASSERT_TRUE(api.IdentifyDevice(a, b, c, &text.text));
  EXPECT_EQ(std::vector<int>({a, b, c}), std::vector<int>({1, 2, 3}));
  EXPECT_STREQ(text.text, pairs.c_str());
  EXPECT_EQ(std::memcmp(text.text + pairs.size(), "\0\0\0\0", 4), 0);

  Answer(Words({0x0108, 0, 1, 2, 3}));  // ten bytes: no text
  EXPECT_FALSE(api.IdentifyDevice(a, b, c, &text.text));
  EXPECT_EQ(api.GetLastCommandError(), kMalformed);
  EXPECT_STREQ(text.text, pairs.c_str());

  Bytes network = Words({0x010C, 0});
  network.insert(network.end(), {'M', 'A', 'C', '=', '1'});
  Answer(network);
  ASSERT_TRUE(api.GetNetworkID(&text.text));
  EXPECT_STREQ(text.text, "MAC=1");
  Answer(Words({0x0111, 0}));
  EXPECT_FALSE(api.GetInternalVariables(&text.text));
}

TEST_F(ServiceAPITest, TableListMustHoldWhatItAnnounces) {
  ORLA::t_Table_Details* tables = nullptr;
  unsigned short count = 99;
  Answer(Words({0x0113, 0, 2, 64, 1, 100, 2}));
  ASSERT_TRUE(api.GetTableInfo(count, &tables));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(tables[1].wRegisterCount, 100);
  EXPECT_EQ(tables[1].wTableNo, 2);
  Answer(Words({0x0113, 0, 3, 64, 1, 100, 2}));  // three announced, two there
  EXPECT_FALSE(api.GetTableInfo(count, &tables));
  EXPECT_EQ(api.GetLastCommandError(), kMalformed);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(tables[0].wRegisterCount, 64);
  delete[] tables;
}

TEST_F(ServiceAPITest, RecordsAndStates) {
  unsigned short state = 0;
  Answer(Words({0x0221, 0, 0x0302, 0x821D}));
  ASSERT_TRUE(api.GetCommandState(0x0302, state));
  EXPECT_EQ(state, 0x821D);
  EXPECT_EQ(LastRequest(), Words({0x0221, 0x0302}));
  EXPECT_FALSE(api.GetCommandState(0x0301, state));  // answers about another command

  ORLA::t_KBMEntry entry{};
  Answer(Words({0x0227, 0, 0x03E8, 0, 0x0017, 0x02C0, 0x8CA0, 0}));
  ASSERT_TRUE(api.GetTerminalBusMonitorEntry(&entry));
  EXPECT_EQ(entry.dwEventTick, 1000u);
  EXPECT_EQ(entry.wCode, 0x17);
  EXPECT_EQ(entry.byArgument, 0xC0);
  EXPECT_EQ(entry.byFlags, 2);
  EXPECT_EQ(entry.dwReferenceTick, 36000u);

  ORLA::t_DeviceStates states{};
  Answer(Words({0x0106, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_TRUE(api.GetDeviceState(&states));
  EXPECT_EQ(states.wStates[8], 9);
  Answer(Words({0x0106, 0, 1, 2, 3, 4, 5, 6, 7, 8}));  // one word short
  EXPECT_FALSE(api.GetDeviceState(&states));

  unsigned short result = 5;
  Answer(Words({0x0226, 0, 9}));
  EXPECT_TRUE(api.SetTerminalBusMonitorFirst(result));
  EXPECT_EQ(result, 9);
  Answer(Words({0x0228, 0}));
  EXPECT_TRUE(api.ClearTerminalBusMonitor(result));  // no result: success without it
  EXPECT_EQ(result, 9);
}

TEST_F(ServiceAPITest, TransportFailureLeavesTheLastCommandError) {
  Answer(Words({0x0102, 0x8214}));
  unsigned short result = 0;
  EXPECT_FALSE(api.RestartSystem(result));
  ASSERT_EQ(api.GetLastCommandError(), 0x20088214u);
  device.answer = [](const Bytes&) -> Bytes { return {}; };
  line.respond = [](const Bytes&) { return Bytes{}; };  // silent
  EXPECT_FALSE(api.RestartSystem(result));
  EXPECT_EQ(api.GetLastCommandError(), 0x20088214u);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), ScriptedConnection::kTimeoutCode);
}

TEST_F(ServiceAPITest, ConnectOpensAClosedConnectionOnly) {
  line.Close();
  EXPECT_TRUE(api.Connect());
  EXPECT_TRUE(line.IsOpen());
  EXPECT_FALSE(api.Connect());
  EXPECT_EQ(api.GetLastCommandError(), 1u);
  EXPECT_TRUE(api.Disconnect());
  EXPECT_FALSE(line.IsOpen());
}

TEST(CDeviceAPIBase, SettingsArePlaceholders) {
  CServiceAPI api(nullptr);
  fennec::platform::DebugCapture capture;
  const std::string block = api.GetSettingsXML();
  EXPECT_EQ(block,
            "\n*************************** INFO ****************************\n  Class:\t\tCDeviceAPIBase\n"
            "  Function:\tGetSettingsXML( )\n  Message:\tNot yet implemented!\n"
            "*************************************************************\n\n");
  EXPECT_EQ(capture.Text(), block);
  EXPECT_FALSE(api.SetSettingsXML("<x/>"));
  EXPECT_FALSE(api.LoadSettingsRegistry(""));
  EXPECT_FALSE(api.SaveSettingsXML("f.xml"));
  EXPECT_NE(capture.Text().find("  Function:\tSaveSettingsXML(f.xml )\n"), std::string::npos);
  EXPECT_EQ(api.GetDriverInfo(), "1.0");
  EXPECT_FALSE(api.Connect());  // no protocol
  EXPECT_EQ(api.GetLastCommandError(), 1u);
}
