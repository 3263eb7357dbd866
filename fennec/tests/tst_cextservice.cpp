// CExtService and CExtRegComm against a scripted device: every service one service message,
// every register access one register message, with their own decoding rules.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "ExtDevice.h"
#include "ExtProtokoll.h"
#include "ExtRegComm.h"
#include "ExtService.h"
#include "Platform/LastError.h"

using namespace ext_bytes;
using fennec::platform::GetThreadLastError;
using fennec::platform::SetThreadLastError;

namespace {

struct ServiceRequest {
  std::uint16_t group, number, wrArg, rdArg;
  Bytes arguments;
};

ServiceRequest ParseService(const Bytes& message) {
  return {WordAt(message, 2), WordAt(message, 4), WordAt(message, 6), WordAt(message, 8),
          Bytes(message.begin() + 12, message.end())};
}

// Texts as the device packs them: the lengths, then the characters.
Bytes Texts(const std::vector<std::string>& texts) {
  Bytes bytes;
  for (const std::string& text : texts) bytes.push_back(static_cast<unsigned char>(text.size()));
  for (const std::string& text : texts) bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

class ExtServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { SetThreadLastError(0); }

  // The device answers every service with these result bytes and status: padded to RdArg as
  // asked for, or exactly as given (a shorter answer).
  void Answer(Bytes results, std::uint16_t err = 0, bool padded = true) {
    device.handler = [this, results, err, padded](unsigned char, const Bytes& message) {
      const ServiceRequest request = ParseService(message);
      requests.push_back(request);
      Bytes payload = results;
      if (padded) payload.resize(request.rdArg, 0);
      return Message({static_cast<std::uint16_t>(12 + payload.size()), request.group, request.number, request.wrArg,
                      request.rdArg, err},
                     payload);
    };
  }

  Detected detected{Table124(1024, 1, 64)};
  ScriptedConnection line;
  ExtDevice device{line, 64};
  CExtProtokoll protokoll{&line, &detected.detection, nullptr};
  CExtService service{&protokoll};
  std::vector<ServiceRequest> requests;
};

}  // namespace

TEST_F(ExtServiceTest, TheParameterChecksumIsAskedForWith12_1_3_0_2_0) {
  Answer({0x34, 0x12});
  std::uint16_t checksum = 0;
  ASSERT_TRUE(service.GetParameterChecksum(checksum));
  EXPECT_EQ(checksum, 0x1234);
  EXPECT_EQ(device.messages.at(0), Message({12, 1, 3, 0, 2, 0}));
  EXPECT_EQ(WordAt(device.sent.at(0).data, 0), 14);  // the answer's usLen
}

TEST_F(ExtServiceTest, ADeviceErrorBecomesTheLegacyCode) {
  Answer({0, 0}, 0x8212);
  std::uint16_t checksum = 0x5555;
  EXPECT_FALSE(service.GetParameterChecksum(checksum));
  EXPECT_EQ(service.GetLastErrorCode(), 0x20088212u);
  EXPECT_EQ(GetThreadLastError(), 0x20088212u);
  EXPECT_EQ(checksum, 0x5555);
}

TEST_F(ExtServiceTest, TheTableListComesInAscendingOrderAndAFailureKeepsTheOldOne) {
  Answer({0x02, 0x00, 0x40, 0x02, 0x64, 0x04});
  std::vector<tFBCTable> tables{tFBCTable::Make(5, 5)};
  ASSERT_TRUE(service.GetTableInfo(tables));
  EXPECT_EQ(tables, (std::vector<tFBCTable>{{0x0240}, {0x0464}}));
  EXPECT_EQ(requests.at(0).rdArg, 82);

  Answer({0x50, 0x00});  // 80 tables cannot follow in 82 bytes
  EXPECT_FALSE(service.GetTableInfo(tables));
  EXPECT_EQ(service.GetLastErrorCode(), 0x20088210u);
  EXPECT_EQ(tables, (std::vector<tFBCTable>{{0x0240}, {0x0464}}));
}

TEST_F(ExtServiceTest, TheServiceStateArgumentHasTheNumberInTheHighByte) {
  Answer({0x01, 0x03, 0x1D, 0x82, 0x07, 0x00});
  tServiceState state{};
  ASSERT_TRUE(service.GetServiceState(3, 1, state));
  EXPECT_EQ(requests.at(0).arguments, (Bytes{0x03, 0x01}));  // the word 0x0103
  EXPECT_EQ(requests.at(0).group, 2);
  EXPECT_EQ(requests.at(0).number, 33);
  EXPECT_EQ(state.wServiceId, 0x0301);
  EXPECT_EQ(state.wState, 0x821D);
  EXPECT_EQ(state.wInfo, 7);
}

TEST_F(ExtServiceTest, AnUnnamedInternalVariableIsNamedByItsIndex) {
  Answer(Texts({"10.0.0.1"}));
  std::string name, value;
  ASSERT_TRUE(service.GetInternalVariable(7, name, value));
  EXPECT_EQ(name, "Variable [7] not named");
  EXPECT_EQ(value, "10.0.0.1");
  EXPECT_EQ(requests.at(0).arguments, (Bytes{7, 0}));

  Answer(Texts({"Boot mode; DHCP"}));
  ASSERT_TRUE(service.GetInternalVariable(2, name, value));
  EXPECT_EQ(name, "Boot mode");
  EXPECT_EQ(value, "DHCP");
}

TEST_F(ExtServiceTest, ControlParamSequenceIsRefusedWithoutTraffic) {
  EXPECT_FALSE(service.ControlParamSequence(1, 2, 3));
  EXPECT_EQ(service.GetLastErrorCode(), 0x20088212u);
  EXPECT_TRUE(line.writes.empty());
}

// An answer shorter than asked for: the identification, serial number, loader version, table
// list and the two state lists take it; the network identity, production marking and CPU
// information fail with 25. On failure some results are cleared, some kept.
TEST_F(ExtServiceTest, EachServiceHasItsOwnRuleForAShortAnswer) {
  struct Case {
    const char* name;
    Bytes results;
    std::function<bool(CExtService&, std::string&)> call;  // the text: what the call left
    bool accepted;
    std::string onSuccess;
    std::string onFailure;
  };
  const auto strings = [](std::initializer_list<std::string> texts) {
    std::string joined;
    for (const std::string& text : texts) joined += text + "|";
    return joined;
  };
  const Case cases[] = {
      {"identification", Texts({"716-352", "ETHERNET", "01", "02"}),
       [&](CExtService& s, std::string& t) {
         std::string a = "x", b = "x", c = "x", d = "x";
         const bool done = s.IdentifyDevice(a, b, c, d);
         t = strings({a, b, c, d});
         return done;
       },
       true, "716-352|ETHERNET|01|02|", "||||"},
      {"serial number", Texts({"0716"}),
       [](CExtService& s, std::string& t) {
         t = "x";
         return s.GetSerialNumber(t);
       },
       true, "0716", ""},
      {"loader version", Texts({"01.02"}),
       [](CExtService& s, std::string& t) {
         t = "x";
         return s.GetFWLVersion(t);
       },
       true, "01.02", ""},
      {"network identity", Texts({"MAC-ID", "02:4F"}),
       [&](CExtService& s, std::string& t) {
         std::string a = "x", b = "x";
         const bool done = s.GetNetworkID(a, b);
         t = strings({a, b});
         return done;
       },
       false, "", "x|x|"},
      {"production marking", Texts({"PM", "QS"}),
       [&](CExtService& s, std::string& t) {
         std::string a = "x", b = "x";
         const bool done = s.GetProductionMarking(a, b);
         t = strings({a, b});
         return done;
       },
       false, "", "||"},
      {"CPU information", Texts({"2023", "PSN"}),
       [&](CExtService& s, std::string& t) {
         std::string a = "x", b = "x";
         const bool done = s.GetCPUInfo(a, b);
         t = strings({a, b});
         return done;
       },
       false, "", "||"},
      {"coupler states", {1, 0, 2, 0},
       [](CExtService& s, std::string& t) {
         std::vector<std::uint16_t> states{9, 9};
         const bool done = s.GetFBCStates(states);
         t = std::to_string(states.size()) + ":" + (states.empty() ? "" : std::to_string(states[0]));
         return done;
       },
       true, "9:1", "0:"},
      {"terminal-bus states", {1, 0, 2, 0},
       [](CExtService& s, std::string& t) {
         std::vector<std::uint16_t> states{9, 9};
         const bool done = s.GetTerminalBusState(states);
         t = std::to_string(states.size()) + ":" + (states.empty() ? "" : std::to_string(states[2]));
         return done;
       },
       true, "11:1", "0:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Answer(c.results, 0, false);
    std::string left;
    EXPECT_EQ(c.call(service, left), c.accepted);
    EXPECT_EQ(left, c.accepted ? c.onSuccess : c.onFailure);
    if (!c.accepted) {
      EXPECT_EQ(service.GetLastErrorCode(), 25u);
    }
    // A device error fails every one of them.
    Answer(c.results, 0x8214);
    EXPECT_FALSE(c.call(service, left));
    EXPECT_EQ(left, c.onFailure);
    EXPECT_EQ(service.GetLastErrorCode(), 0x20088214u);
  }
}

TEST_F(ExtServiceTest, ResultsWithAFixedLayout) {
  Answer({0x0C, 0x00, 0x06, 0x00});
  double baud = 0;
  ASSERT_TRUE(service.GetFieldbusBaudrate(baud));
  EXPECT_EQ(baud, 12000000.0);

  Answer({0x78, 0x56, 0x34, 0x12, 0x02, 0x00});
  std::uint32_t time = 0;
  std::uint16_t zone = 0;
  ASSERT_TRUE(service.GetRealTimeClock(time, zone));
  EXPECT_EQ(time, 0x12345678u);
  EXPECT_EQ(zone, 2);
  ASSERT_TRUE(service.SetRealTimeClock(0x12345678, 0xFFFF));
  EXPECT_EQ(requests.back().arguments, (Bytes{0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF}));
  EXPECT_EQ(requests.back().rdArg, 0);

  Answer({0xE8, 0x03, 0x00, 0x00, 0x05, 0x00, 0xC0, 0x03, 0xA0, 0x8C, 0x00, 0x00});
  tKBMonEntry entry{};
  std::int64_t now = 0;
  ASSERT_TRUE(service.GetTerminalBusMonitorEntry(entry, &now));
  EXPECT_EQ(entry.dwEventTick, 1000u);
  EXPECT_EQ(entry.wCode, 5);
  EXPECT_EQ(entry.byArgument, 0xC0);
  EXPECT_EQ(entry.byFlags, 3);
  EXPECT_EQ(entry.dwReferenceTick, 36000u);
  EXPECT_NE(now, 0);
  EXPECT_EQ(requests.back().arguments, (Bytes{2, 0}));
}

TEST_F(ExtServiceTest, AFailedTerminalBusResetLeavesItsOutputs) {
  Answer({0x11, 0x00, 0x22, 0x00});
  std::uint16_t error = 7, first = 7, second = 7;
  ASSERT_TRUE(service.TerminalBusReset(error, first, second));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(first, 0x11);
  EXPECT_EQ(second, 0x22);
  Answer({0x33, 0x00, 0x44, 0x00}, 0x8003);
  EXPECT_FALSE(service.TerminalBusReset(error, first, second));
  EXPECT_EQ(service.GetLastErrorCode(), 0x20088003u);
  EXPECT_EQ(first, 0x11);
}

TEST_F(ExtServiceTest, ARestartIsEnabledFirstAndNotSentWhenTheEnableFails) {
  Answer({});
  ASSERT_TRUE(service.RestartSystem());
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].number, 1);
  EXPECT_EQ(requests[0].arguments, (Bytes{0x1B, 0x6E}));
  EXPECT_EQ(requests[1].number, 2);
  Answer({}, 0x8214);
  requests.clear();
  EXPECT_FALSE(service.RestartSystem());
  EXPECT_EQ(requests.size(), 1u);
}

TEST_F(ExtServiceTest, AnExceptionFromBelowBecomesADeviceCode) {
  Detected oneByte(Table124(0, 1, 1));
  CExtProtokoll engine(&line, &oneByte.detection, nullptr);
  CExtService slow(&engine);
  ExtDevice confirmer(line, 1);
  std::vector<std::uint16_t> words(16380);
  EXPECT_FALSE(slow.WriteRegister(0, 110, 0, static_cast<unsigned>(words.size()), words.data()));
  EXPECT_EQ(slow.GetLastErrorCode(), 0x2008006Fu);  // too many fragments: 111
}

// 300 registers in one register message: RegCnt 300, a 612-byte answer in ten fragments.
TEST_F(ExtServiceTest, ThreeHundredRegistersAreOneMessage) {
  device.handler = NumberedRegisters;
  CExtRegComm regComm(&protokoll);
  std::vector<std::uint16_t> words(300);
  ASSERT_TRUE(regComm.ReadRegister(0, 110, 0, 300, words.data()));
  ASSERT_EQ(device.messages.size(), 1u);
  EXPECT_EQ(device.messages[0], Message({12, 0, 110, 0, 300, 0}));
  EXPECT_EQ(device.sent.size(), 10u);
  EXPECT_EQ(device.sent.back().data.size(), 612u - 9 * 64);
  for (std::uint16_t i = 0; i < 300; ++i) ASSERT_EQ(words[i], 0x1000 + i);
}

TEST_F(ExtServiceTest, RegisterNumbersAreNotCutTo16Bits) {
  device.handler = NumberedRegisters;
  CExtRegComm regComm(&protokoll);
  std::vector<std::uint16_t> words(2, 0xAAAA);
  SetThreadLastError(0x1234);
  EXPECT_FALSE(regComm.ReadRegister(0, 0x10000 + 110, 0, 2, words.data()));
  EXPECT_FALSE(regComm.ReadRegister(0x10000, 110, 0, 2, words.data()));
  EXPECT_FALSE(regComm.ReadRegister(0, 110, 0x10000, 2, words.data()));
  EXPECT_FALSE(regComm.ReadRegister(0, 110, 0, 2, nullptr));
  EXPECT_EQ(GetThreadLastError(), 0x1234u);
  std::vector<std::uint16_t> many(0x10000 + 2);
  EXPECT_FALSE(regComm.ReadRegister(0, 110, 0, 0x10000 + 2, many.data()));
  EXPECT_EQ(GetThreadLastError(), 31u);
  EXPECT_FALSE(service.ReadRegister(0, 110, 0, 32762, many.data()));
  EXPECT_EQ(service.GetLastErrorCode(), 31u);
  EXPECT_TRUE(line.writes.empty());
  EXPECT_EQ(words, (std::vector<std::uint16_t>{0xAAAA, 0xAAAA}));
}

TEST_F(ExtServiceTest, AWriteSendsTheCallersWordsAndLeavesThem) {
  device.handler = NumberedRegisters;
  const std::vector<std::uint16_t> words{0x5A00, 0x5A01};
  ASSERT_TRUE(service.WriteRegister(0, 110, 318, 2, words.data()));
  EXPECT_EQ(device.messages.at(0), Message({16, 0, 110, 318, 2, 0}, {0x00, 0x5A, 0x01, 0x5A}));
  EXPECT_EQ(words, (std::vector<std::uint16_t>{0x5A00, 0x5A01}));
}
