// The service interface over TCP/IP: its conversions of the device API's answers, against a
// device played on the scripted connection.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "FramedBytes.h"
#include "PairText.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "TCPIPService.h"

using namespace framedtest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint32_t kMalformed = 0x20080000;
constexpr std::uint32_t kNotSupported = 0x20088212;

Bytes WithText(std::initializer_list<std::uint16_t> words, const std::string& text) {
  Bytes block = Words(words);
  block.insert(block.end(), text.begin(), text.end());
  return block;
}

class TCPIPServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    line.Open();
    device.PlayOn(line);
  }

  void Answer(Bytes response) { device.AnswerAlways(std::move(response)); }
  void Identify(const std::string& pairs) { Answer(WithText({0x0108, 0, 0, 0, 0}, pairs)); }
  void Variables(const std::string& pairs) { Answer(WithText({0x0111, 0}, pairs)); }

  // The code the failure left, in the object and as the thread's last error alike.
  std::uint32_t Code() {
    EXPECT_EQ(fennec::platform::GetThreadLastError(), service.GetLastErrorCode());
    return service.GetLastErrorCode();
  }

  ScriptedConnection line;
  BlockDevice device;
  CTCPIPService service{&line};
  fennec::platform::DebugCapture quiet;
};

}  // namespace

TEST(PairText, TokensAndValues) {
  using fennec::pairs::Tokens;
  using fennec::pairs::ValueOf;
  const auto tokens = Tokens(" ORDER = 716-341 ;;DESCR=Coupler; SN =", "=;");
  EXPECT_EQ(tokens, (std::vector<std::string>{"ORDER", "716-341", "DESCR", "Coupler", "SN"}));
  EXPECT_EQ(ValueOf(tokens, "DESCR"), "Coupler");
  EXPECT_EQ(ValueOf(tokens, "SN"), "");        // the last token
  EXPECT_EQ(ValueOf(tokens, "PSN"), "");       // missing
  EXPECT_EQ(ValueOf(tokens, "716-341"), "DESCR");  // a value is a token like any other
  EXPECT_EQ(Tokens("MAC-ID=00:30;x", "="), (std::vector<std::string>{"MAC-ID", "00:30;x"}));
}

TEST_F(TCPIPServiceTest, IdentificationFromItsPairs) {
  Identify("ORDER=A1;DESCR=Coupler;HW-VER=3;SW-VER=1.2");
  std::string order = "x", description = "x", hardware = "x", software = "x";
  ASSERT_TRUE(service.IdentifyDevice(order, description, hardware, software));
  EXPECT_EQ(std::vector<std::string>({order, description, hardware, software}),
            std::vector<std::string>({"A1", "Coupler", "3", "1.2"}));
  EXPECT_EQ(device.identifiers.back(), kLegacyId);
  EXPECT_EQ(device.requests.back(), Words({0x0108}));
  std::string serial = "old";
  EXPECT_TRUE(service.GetSerialNumber(serial));
  EXPECT_EQ(serial, "");

  Identify("SN=0716;FWL-VER=01.02;QS-STRING=QS 1;FW-BURN-DATE=2023;PSN=P9;BAUD=12000000");
  EXPECT_TRUE(service.GetSerialNumber(serial));
  EXPECT_EQ(serial, "0716");
  std::string first = "x", production, burnDate, psn, loader;
  EXPECT_TRUE(service.GetProductionMarking(first, production));
  EXPECT_EQ(first, "");
  EXPECT_EQ(production, "QS 1");
  EXPECT_TRUE(service.GetCPUInfo(burnDate, psn));
  EXPECT_EQ(burnDate + "/" + psn, "2023/P9");
  EXPECT_TRUE(service.GetFWLVersion(loader));
  EXPECT_EQ(loader, "01.02");
  double baud = 0;
  EXPECT_TRUE(service.GetFieldbusBaudrate(baud));
  EXPECT_EQ(baud, 12000000.0);
}

TEST_F(TCPIPServiceTest, IdentificationThatCannotBeUsed) {
  std::string order = "x", description = "x", hardware = "x", software = "x";
  Identify("ORDER");  // one token
  EXPECT_FALSE(service.IdentifyDevice(order, description, hardware, software));
  EXPECT_EQ(Code(), kMalformed);
  EXPECT_EQ(order + description + hardware + software, "");  // cleared all the same

  double baud = 7;
  for (const auto& [text, done, expected] : std::vector<std::tuple<std::string, bool, double>>{
           {"SN=1;BAUD=", true, 0.0}, {"BAUD=fast;SN=1", false, 0.0}, {"BAUD=;SN=1", false, 0.0}}) {
    Identify(text);
    baud = 7;
    // Never throws; an empty value between pairs takes the next key as its value.
    EXPECT_EQ(service.GetFieldbusBaudrate(baud), done) << text;
    if (done) {
      EXPECT_EQ(baud, expected);
    } else {
      EXPECT_EQ(Code(), kMalformed);
      EXPECT_EQ(baud, 7);
    }
  }
}

TEST_F(TCPIPServiceTest, NetworkIdentityIsExactlyTwoTokens) {
  std::string kind, value;
  Answer(WithText({0x010C, 0}, "MAC-ID=02:4F:52:10:34:11"));
  ASSERT_TRUE(service.GetNetworkID(kind, value));
  EXPECT_EQ(kind, "MAC-ID");
  EXPECT_EQ(value, "02:4F:52:10:34:11");
  Answer(WithText({0x010C, 0}, "A=B=C"));
  EXPECT_FALSE(service.GetNetworkID(kind, value));
  EXPECT_EQ(Code(), kMalformed);
  EXPECT_EQ(kind, "MAC-ID");
}

TEST_F(TCPIPServiceTest, InternalVariablesByTokenPosition) {
  struct Case {
    std::uint16_t index;
    bool found;
    std::string name;
    std::string value;
    std::uint32_t code;
  };
  Variables("a=1;b=2");
  for (const Case& c : std::vector<Case>{{0, true, "a", "1", 0},
                                         {1, true, "1", "b", 0},
                                         {2, true, "b", "2", 0},
                                         {3, false, "", "", 0x20088213},
                                         {65535, false, "", "", 0x20088213}}) {
    std::string name = "x", value = "x";
    EXPECT_EQ(service.GetInternalVariable(c.index, name, value), c.found) << c.index;
    EXPECT_EQ(name, c.name) << c.index;
    EXPECT_EQ(value, c.value) << c.index;
    if (!c.found) {
      EXPECT_EQ(Code(), c.code) << c.index;
    }
  }
  Variables("alone");
  std::string name, value;
  EXPECT_FALSE(service.GetInternalVariable(0, name, value));
  EXPECT_EQ(Code(), kMalformed);
}

TEST_F(TCPIPServiceTest, NotOfferedOverTheNetwork) {
  std::uint16_t word = 0;
  EXPECT_FALSE(service.GetParameterChecksum(word));
  EXPECT_EQ(Code(), kNotSupported);
  EXPECT_FALSE(service.GetAddressSwitchSetting(word));
  EXPECT_EQ(Code(), kNotSupported);
  EXPECT_TRUE(line.writes.empty());
}

TEST_F(TCPIPServiceTest, TableListLastRecordFirst) {
  Answer(Words({0x0113, 0, 2, 64, 1, 100, 2}));
  std::vector<tFBCTable> tables{tFBCTable::Make(5, 5)};
  ASSERT_TRUE(service.GetTableInfo(tables));
  EXPECT_EQ(tables, (std::vector<tFBCTable>{{0x0464}, {0x0240}}));
  Answer(Words({0x0113, 0x8212}));
  EXPECT_FALSE(service.GetTableInfo(tables));
  EXPECT_EQ(Code(), kNotSupported);
}

TEST_F(TCPIPServiceTest, StatesAndRecords) {
  std::vector<std::uint16_t> states{42};
  Answer(Words({0x0106, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_TRUE(service.GetFBCStates(states));
  EXPECT_EQ(states, (std::vector<std::uint16_t>{42, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  states.clear();
  Answer(Words({0x010F, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
  ASSERT_TRUE(service.GetTerminalBusState(states));
  EXPECT_EQ(states, (std::vector<std::uint16_t>{10, 11, 12, 13, 14, 16, 15, 18, 17}));

  tServiceState state{};
  Answer(Words({0x0221, 0, 0x0302, 0x821D}));
  ASSERT_TRUE(service.GetServiceState(3, 2, state));
  EXPECT_EQ(device.requests.back(), Words({0x0221, 0x0302}));
  EXPECT_EQ(state.wServiceId, 0x0302);
  EXPECT_EQ(state.wState, 0x821D);
  EXPECT_EQ(state.wInfo, 0);

  std::uint32_t time = 0;
  std::uint16_t second = 0;
  Answer(Words({0x0116, 0, 0x5678, 0x1234, 0xFFFF}));
  ASSERT_TRUE(service.GetRealTimeClock(time, second));
  EXPECT_EQ(time, 0x12345678u);
  EXPECT_EQ(second, 0xFFFF);

  tKBMonEntry entry{};
  std::int64_t pcTime = 0;
  Answer(Words({0x0227, 0, 1000, 0, 0x0017, 0x02C0, 36000, 0}));
  ASSERT_TRUE(service.GetTerminalBusMonitorEntry(entry, &pcTime));
  EXPECT_EQ(entry.dwReferenceTick, 36000u);
  EXPECT_EQ(entry.byFlags, 2);
  EXPECT_GT(pcTime, 0);
}

TEST_F(TCPIPServiceTest, TerminalBusResetRestartsTheBusNotTheDevice) {
  Answer(Words({0x0201, 0, 0}));
  std::uint16_t error = 9, first = 9, second = 9;
  ASSERT_TRUE(service.TerminalBusReset(error, first, second));
  EXPECT_EQ(device.requests.back(), Words({0x0201}));
  EXPECT_EQ(error + first + second, 0);
}

TEST_F(TCPIPServiceTest, WaitsTheTimeTheDeviceAsksFor) {
  Answer(Words({0x0102, 0, 1}));
  const auto start = Clock::now();
  EXPECT_TRUE(service.RestartSystem());
  EXPECT_GE(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(device.requests.back(), Words({0x0102}));
  Answer(Words({0x0301, 0x821D, 0}));
  EXPECT_TRUE(service.ExtractFiles(0xFFFF));
  EXPECT_EQ(device.requests.back(), Words({0x0301, 0xFFFF}));
}

TEST_F(TCPIPServiceTest, RegisterArgumentsAreCutToSixteenBits) {
  std::uint16_t words[2] = {};
  Answer(Words({0x0401, 0, 100, 9, 2, 0, 7, 8}));
  ASSERT_TRUE(service.ReadRegister(0, 0x10064, 9, 2, words));
  EXPECT_EQ(device.requests.back(), Words({0x0401, 0, 100, 9, 2}));
  EXPECT_EQ(words[1], 8);
}

TEST_F(TCPIPServiceTest, AFailureOfTheRoadIsNeverReportedAsAnEarlierRefusal) {
  Answer(Words({0x0105, 0x8212}));
  EXPECT_FALSE(service.SaveParameter());
  ASSERT_EQ(Code(), kNotSupported);

  line.respond = [](const Bytes&) { return Bytes{}; };  // the device falls silent
  EXPECT_FALSE(service.SaveParameter());
  EXPECT_EQ(Code(), ScriptedConnection::kTimeoutCode);

  device.PlayOn(line);
  Answer(Words({0x0105, 0x8212}));
  EXPECT_FALSE(service.SaveParameter());
  line.respond = [](const Bytes& request) {  // an answer to another request number
    Frame answer = Accepting(Decode(request), Words({0x0105, 0, 0}));
    ++answer.requestNumber;
    return Encode(answer);
  };
  EXPECT_FALSE(service.SaveParameter());
  EXPECT_EQ(Code(), 0x2002000Du);
}

TEST(CTCPIPService, ClosedConnectionFailsWithTheCommandsNumber) {
  ScriptedConnection line;
  CTCPIPService service(&line);
  std::uint16_t words[1] = {};
  EXPECT_FALSE(service.ReadRegister(0, 0, 0, 1, words));
  EXPECT_EQ(service.GetLastErrorCode(), 28u);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), 28u);
  EXPECT_TRUE(line.writes.empty());
}
