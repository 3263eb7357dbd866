#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "SIOService.h"
#include "ServiceDevice.h"

using fennec::platform::GetThreadLastError;
using Words = ServiceDevice::Words;

namespace {

class ServiceTest : public ::testing::Test {
 protected:
  ScriptedConnection line;
  ServiceDevice device{line};
  CSIOService service{&line};

  bool FailedWith(std::uint32_t code) {
    EXPECT_EQ(service.GetLastErrorCode(), code);
    EXPECT_EQ(GetThreadLastError(), code);
    return service.GetLastErrorCode() == code && GetThreadLastError() == code;
  }
};

std::vector<std::uint16_t> Descriptors(const std::vector<tFBCTable>& tables) {
  std::vector<std::uint16_t> words;
  for (const tFBCTable& table : tables) words.push_back(table.wDescriptor);
  return words;
}

}  // namespace

TEST_F(ServiceTest, EnableParamWritingWritesTheKeyAndReadsThreeWords) {
  device.Respond(0);
  device.Respond(0);
  ASSERT_TRUE(service.EnableParamWriting(true));
  ASSERT_TRUE(service.EnableParamWriting(false));
  EXPECT_EQ(device.requests, (std::vector<Words>{{0x0101, 0x0001, 0x6E1B}, {0x0101, 0x0001, 0x0000}}));
  const auto read = telegram_bytes::Parse(line.writes[1]);
  EXPECT_FALSE(read.write);
  EXPECT_EQ(read.table, 99u);
  EXPECT_EQ(read.firstReg, 0u);
  EXPECT_EQ(read.count, 3u);
}

TEST_F(ServiceTest, StatusBecomesACodeOfTheDeviceOrTheTerminalBusGroup) {
  for (const auto& [status, code] : std::vector<std::pair<std::uint16_t, std::uint32_t>>{
           {0x8212, 0x20088212}, {0x8003, 0x20048003}, {0x0200, 0x20040200}, {0x8300, 0x20088300}}) {
    device.Respond(status);
    EXPECT_FALSE(service.SaveParameter());
    EXPECT_TRUE(FailedWith(code)) << std::hex << status;
  }
  EXPECT_EQ(device.requests.back(), (Words{0x0501, 0}));
}

TEST_F(ServiceTest, SuccessKeepsTheLastCodeUntilReset) {
  device.Respond(0x8214);
  device.Respond(0);
  EXPECT_FALSE(service.SetFactoryDefaults());
  EXPECT_TRUE(service.SetFactoryDefaults());
  EXPECT_EQ(service.GetLastErrorCode(), 0x20088214u);
  service.ResetLastErrorCode();
  EXPECT_EQ(service.GetLastErrorCode(), 0u);
  EXPECT_EQ(GetThreadLastError(), 0u);
  EXPECT_EQ(device.requests.back(), (Words{0x0401, 0}));
}

TEST_F(ServiceTest, WordOneAbove44FailsEvenWithStatusZero) {
  Words block(44, 0);
  block[1] = 45;
  device.RespondWithBlock(block);
  std::string serial = "kept";
  EXPECT_FALSE(service.GetSerialNumber(serial));
  EXPECT_TRUE(FailedWith(0x20088210));
  EXPECT_EQ(serial, "kept");
}

TEST_F(ServiceTest, RestartIsNotRequestedWhenWriteAccessIsRefused) {
  device.Respond(0x8202);
  EXPECT_FALSE(service.RestartSystem());
  EXPECT_TRUE(FailedWith(0x20088202));
  EXPECT_EQ(device.requests.size(), 1u);
}

TEST_F(ServiceTest, RestartEnablesWritingAndWaitsBeforeReadingTheAnswer) {
  device.Respond(0);
  device.Respond(0);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(service.RestartSystem());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(device.requests, (std::vector<Words>{{0x0101, 1, 0x6E1B}, {0x0201, 0}}));
}

TEST_F(ServiceTest, PollingRereadsARefusedResponseUpToEightTimes) {
  for (int i = 0; i < 7; ++i) device.RefuseRead(0x8211);
  device.Respond(0);
  CSIOService::tServiceInfo info{1, 5, 0, 0, 1};
  EXPECT_TRUE(service.ExecuteService(info, nullptr));
  EXPECT_EQ(device.responseReads, 8);

  device.responseReads = 0;
  for (int i = 0; i < 8; ++i) device.RefuseRead(0x8211);
  device.Respond(0);
  EXPECT_FALSE(service.ExecuteService(info, nullptr));
  EXPECT_TRUE(FailedWith(0x20088211));
  EXPECT_EQ(device.responseReads, 8);
}

TEST_F(ServiceTest, WithoutPollDelayTheFirstRefusalStands) {
  device.RefuseRead(0x8211);
  device.Respond(0);
  CSIOService::tServiceInfo info{1, 5, 0, 0, 0};
  EXPECT_FALSE(service.ExecuteService(info, nullptr));
  EXPECT_TRUE(FailedWith(0x20088211));
  EXPECT_EQ(device.responseReads, 1);
}

TEST_F(ServiceTest, DeliveredCountNeverExceedsWhatReachedTheBuffer) {
  device.RespondWithBlock({0, 10, 0, 0x1111, 0x2222, 0x3333});
  std::uint8_t data[2] = {};
  CSIOService::tServiceInfo info{1, 3, 0, 1, 0};
  ASSERT_TRUE(service.ExecuteService(info, data));
  EXPECT_EQ(info.RdArg, 1);
  EXPECT_EQ(data[0], 0x11);
  EXPECT_EQ(data[1], 0x11);
}

TEST_F(ServiceTest, ArgumentsBeyondOneBlockAreRefusedBeforeAnythingIsSent) {
  fennec::platform::DebugCapture capture;
  std::vector<std::uint8_t> data(2 * 43);
  CSIOService::tServiceInfo info{1, 23, 43, 0, 0};
  EXPECT_FALSE(service.ExecuteService(info, data.data()));
  EXPECT_NE(capture.Text().find("WrArg <= 42"), std::string::npos);
  EXPECT_TRUE(line.written.empty());
}

TEST_F(ServiceTest, ClosedConnectionFailsEveryService) {
  line.Close();
  std::uint16_t checksum = 0;
  EXPECT_FALSE(service.GetParameterChecksum(checksum));
  EXPECT_TRUE(FailedWith(0x20020100));
  EXPECT_TRUE(line.written.empty());
}

TEST_F(ServiceTest, FixedResultsMustAllBeDelivered) {
  device.Respond(0, {0x0102});
  device.Respond(0, {});
  std::uint16_t checksum = 0;
  ASSERT_TRUE(service.GetParameterChecksum(checksum));
  EXPECT_EQ(checksum, 0x0102);
  EXPECT_FALSE(service.GetParameterChecksum(checksum));
  EXPECT_TRUE(FailedWith(0x20088210));
  EXPECT_EQ(checksum, 0x0102);
  EXPECT_EQ(device.requests[0], (Words{0x0301, 0}));
}

TEST_F(ServiceTest, AddressSwitchFallsBackToTheOldServiceOnUnsupported) {
  device.Respond(0x8212);
  device.Respond(0, {0x0017});
  std::uint16_t setting = 0;
  ASSERT_TRUE(service.GetAddressSwitchSetting(setting));
  EXPECT_EQ(setting, 0x0017);
  EXPECT_EQ(device.requests, (std::vector<Words>{{0x0701, 0}, {0xFF00, 0}}));
  // The refusal stays the last code: a success does not clear it.
  EXPECT_EQ(service.GetLastErrorCode(), 0x20088212u);
  EXPECT_EQ(GetThreadLastError(), 0x20088212u);
}

TEST_F(ServiceTest, AddressSwitchFallbackOnlyOnUnsupported) {
  device.Respond(0x8211);
  std::uint16_t setting = 0;
  EXPECT_FALSE(service.GetAddressSwitchSetting(setting));
  EXPECT_EQ(device.requests.size(), 1u);

  device.Respond(0x8212);
  device.Respond(0x8212);
  EXPECT_FALSE(service.GetAddressSwitchSetting(setting));
  EXPECT_TRUE(FailedWith(0x20088212));
  EXPECT_EQ(device.requests.size(), 3u);
}

TEST_F(ServiceTest, TableInfoIsListedFromTheLastDescriptorDown) {
  device.Respond(0, {2, 0x0240, 0x0464});
  std::vector<tFBCTable> tables{tFBCTable{0x7777}};
  ASSERT_TRUE(service.GetTableInfo(tables));
  EXPECT_EQ(Descriptors(tables), (Words{0x0464, 0x0240}));
  EXPECT_EQ(tables[0].TableNo(), 2u);
  EXPECT_EQ(tables[0].RegisterCount(), 100u);
  EXPECT_EQ(device.requests[0], (Words{0x1301, 0}));
  EXPECT_EQ(telegram_bytes::Parse(line.writes[1]).count, 44u);
}

TEST_F(ServiceTest, TableInfoCountingMoreDescriptorsThanDeliveredFails) {
  device.Respond(0, {5, 0x0240, 0x0464});
  std::vector<tFBCTable> tables{tFBCTable{0x7777}};
  EXPECT_FALSE(service.GetTableInfo(tables));
  EXPECT_TRUE(FailedWith(0x20088210));
  EXPECT_TRUE(tables.empty());
}

TEST_F(ServiceTest, OldCouplerTablesAreProbedWithRegisterReads) {
  device.Respond(0x8212);
  device.tables = {{0, 256}, {5, 0}, {99, 44}, {100, 100}, {127, 2}};
  std::vector<tFBCTable> tables;
  ASSERT_TRUE(service.GetTableInfo(tables));
  // table << 9 | registers: 0/256, 5/0, 99/44, 100/100, 127/2
  EXPECT_EQ(Descriptors(tables), (Words{0x0100, 0x0A00, 0xC62C, 0xC864, 0xFE02}));
}

TEST_F(ServiceTest, OldCouplerProbeEndsOnALineFailure) {
  device.Respond(0x8212);
  device.tables = {{0, 256}, {3, 10}};
  device.silentTables = {3};
  std::vector<tFBCTable> tables;
  EXPECT_FALSE(service.GetTableInfo(tables));
  EXPECT_TRUE(FailedWith(0x20010200));
  EXPECT_TRUE(tables.empty());
}

TEST_F(ServiceTest, FieldbusBaudrateIsMantissaTimesTenToTheExponent) {
  device.Respond(0, {12, 6});
  device.Respond(0, {9600, 0});
  double baud = 0;
  ASSERT_TRUE(service.GetFieldbusBaudrate(baud));
  EXPECT_EQ(baud, 12000000.0);
  ASSERT_TRUE(service.GetFieldbusBaudrate(baud));
  EXPECT_EQ(baud, 9600.0);
  EXPECT_EQ(device.requests[0], (Words{0x0901, 0}));
}

TEST_F(ServiceTest, IdentifyDeviceSplitsFourStrings) {
  device.Respond(0, ServiceDevice::StringResult({"750-352", "Fieldbus coupler", "01", "03.01.02"}));
  std::string order, description, hardware, software;
  ASSERT_TRUE(service.IdentifyDevice(order, description, hardware, software));
  EXPECT_EQ(order, "750-352");
  EXPECT_EQ(description, "Fieldbus coupler");
  EXPECT_EQ(hardware, "01");
  EXPECT_EQ(software, "03.01.02");
  EXPECT_EQ(device.requests[0], (Words{0x0801, 0}));
}

TEST_F(ServiceTest, StringLengthsBeyondTheDeliveredWordsFailAndLeaveTheOutputs) {
  // Lengths 20 and 20, but only "ab" follows.
  device.Respond(0, {0x1414, 0x6261});
  std::string kind = "old kind", value = "old value";
  EXPECT_FALSE(service.GetNetworkID(kind, value));
  EXPECT_TRUE(FailedWith(0x20088210));
  EXPECT_EQ(kind, "old kind");
  EXPECT_EQ(value, "old value");
}

TEST_F(ServiceTest, TwoStringServices) {
  device.Respond(0, ServiceDevice::StringResult({"MAC-ID", "00:30:DE:01:02:03"}));
  device.Respond(0, ServiceDevice::StringResult({"", "QS 4711"}));
  device.Respond(0, ServiceDevice::StringResult({"2009-05-12", "PSN-1"}));
  std::string first, second;
  ASSERT_TRUE(service.GetNetworkID(first, second));
  EXPECT_EQ(first + "|" + second, "MAC-ID|00:30:DE:01:02:03");
  ASSERT_TRUE(service.GetProductionMarking(first, second));
  EXPECT_EQ(first + "|" + second, "|QS 4711");
  ASSERT_TRUE(service.GetCPUInfo(first, second));
  EXPECT_EQ(first + "|" + second, "2009-05-12|PSN-1");
  EXPECT_EQ(device.requests[0][0], 0x0C01);
  EXPECT_EQ(device.requests[1][0], 0x1001);
  EXPECT_EQ(device.requests[2][0], 0x1401);
}

TEST_F(ServiceTest, SerialNumberUsesTheWholeBlock) {
  const std::string longest(81, 'S');
  device.Respond(0, ServiceDevice::StringResult({longest}));
  device.Respond(0, ServiceDevice::StringResult({"V1.02"}));
  std::string serial, loader;
  ASSERT_TRUE(service.GetSerialNumber(serial));
  EXPECT_EQ(serial, longest);
  EXPECT_EQ(telegram_bytes::Parse(line.writes[1]).count, 44u);
  ASSERT_TRUE(service.GetFWLVersion(loader));
  EXPECT_EQ(loader, "V1.02");
  EXPECT_EQ(device.requests[1][0], 0x1201);
}

TEST_F(ServiceTest, InternalVariables) {
  device.Respond(0, ServiceDevice::StringResult({"192.168.1.1"}));
  device.Respond(0, ServiceDevice::StringResult({"Host name; fbc-01"}));
  device.Respond(0, ServiceDevice::StringResult({"lonely"}));
  device.Respond(0x8213);
  std::string name, value;
  ASSERT_TRUE(service.GetInternalVariable(2, name, value));
  EXPECT_EQ(name, "Subnet mask;");
  EXPECT_EQ(value, "192.168.1.1");
  ASSERT_TRUE(service.GetInternalVariable(9, name, value));
  EXPECT_EQ(name, "Host name");
  EXPECT_EQ(value, "fbc-01");
  ASSERT_TRUE(service.GetInternalVariable(7, name, value));
  EXPECT_EQ(name, "");
  EXPECT_EQ(value, "");
  name = "stale";
  value = "stale";
  EXPECT_FALSE(service.GetInternalVariable(10, name, value));
  EXPECT_TRUE(FailedWith(0x20088213));
  EXPECT_EQ(name + value, "");
  EXPECT_EQ(device.requests[0], (Words{0x1101, 1, 2}));
}

TEST_F(ServiceTest, ControlParamSequenceSendsASwappedOrder) {
  device.Respond(0);
  ASSERT_TRUE(service.ControlParamSequence(1, 2, 3));
  EXPECT_EQ(device.requests[0], (Words{0x2001, 3, 1, 3, 2}));
}

TEST_F(ServiceTest, ClockTravelsLowWordFirst) {
  device.Respond(0, {0x5678, 0x1234, 0x0002});
  device.Respond(0);
  std::uint32_t time = 0;
  std::uint16_t second = 0;
  ASSERT_TRUE(service.GetRealTimeClock(time, second));
  EXPECT_EQ(time, 0x12345678u);
  EXPECT_EQ(second, 2);
  ASSERT_TRUE(service.SetRealTimeClock(0x9ABCDEF0, 0xFFFE));
  EXPECT_EQ(device.requests, (std::vector<Words>{{0x1601, 0}, {0x1701, 3, 0xDEF0, 0x9ABC, 0xFFFE}}));
}

TEST_F(ServiceTest, SwitchesAndValuesAreOneArgumentWord) {
  for (int i = 0; i < 6; ++i) device.Respond(0);
  ASSERT_TRUE(service.EnableBKMonitorMode(true));
  ASSERT_TRUE(service.EnableBKControlMode(false));
  ASSERT_TRUE(service.EnableTerminalBusExtension(true));
  ASSERT_TRUE(service.SetFactoryTestMode(0xA5A5));
  ASSERT_TRUE(service.ExtractFiles(4));
  ASSERT_TRUE(service.FormatFlashDisk(5));
  EXPECT_EQ(device.requests, (std::vector<Words>{{0x0A01, 1, 1},
                                                 {0x0B01, 1, 0},
                                                 {0x1501, 1, 1},
                                                 {0x0E01, 1, 0xA5A5},
                                                 {0x0103, 1, 4},
                                                 {0x0203, 1, 5}}));
}

TEST_F(ServiceTest, FileServiceStillRunningAndItsState) {
  device.Respond(0x821D);
  device.Respond(0, {0x0301, 0x821D, 0x0007});
  EXPECT_FALSE(service.ExtractFiles(0xFFFF));
  EXPECT_TRUE(FailedWith(0x2008821D));
  tServiceState state{};
  ASSERT_TRUE(service.GetServiceState(3, 1, state));
  EXPECT_EQ(state.wServiceId, 0x0301);
  EXPECT_EQ(state.wState, 0x821D);
  EXPECT_EQ(state.wInfo, 0x0007);
  EXPECT_EQ(device.requests[1], (Words{0x2102, 1, 0x0301}));
}

TEST_F(ServiceTest, StateVectorsAreAppendedTo) {
  device.Respond(0, {1, 2, 3});
  device.Respond(0, {4});
  std::vector<std::uint16_t> states{9};
  ASSERT_TRUE(service.GetFBCStates(states));
  ASSERT_TRUE(service.GetTerminalBusState(states));
  EXPECT_EQ(states, (std::vector<std::uint16_t>{9, 1, 2, 3, 4}));
  EXPECT_EQ(device.requests[1][0], 0x0F01);
}

TEST_F(ServiceTest, TerminalBusResetReportsTheResultAreaEitherWay) {
  device.Respond(0, {3, 4});
  device.Respond(0x8003, {7, 8});
  std::uint16_t error = 1, first = 1, second = 1;
  ASSERT_TRUE(service.TerminalBusReset(error, first, second));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(second, 4);
  EXPECT_FALSE(service.TerminalBusReset(error, first, second));
  EXPECT_EQ(error, 0x8003);
  EXPECT_EQ(first, 7);
  EXPECT_EQ(second, 8);
  EXPECT_EQ(device.requests[0], (Words{0x0102, 0}));
}

TEST_F(ServiceTest, ServicesRunOnTheObjectsOwnRegisterAccess) {
  class Counting : public CSIOService {
   public:
    using CSIOService::CSIOService;
    bool WriteRegister(unsigned d, unsigned t, unsigned f, unsigned n, const std::uint16_t* w) override {
      ++writes;
      return CSIOService::WriteRegister(d, t, f, n, w);
    }
    bool ReadRegister(unsigned d, unsigned t, unsigned f, unsigned n, std::uint16_t* w) override {
      ++reads;
      return CSIOService::ReadRegister(d, t, f, n, w);
    }
    int writes = 0;
    int reads = 0;
  } counting(&line);
  device.Respond(0);
  ASSERT_TRUE(counting.SaveParameter());
  EXPECT_EQ(counting.writes, 1);
  EXPECT_EQ(counting.reads, 1);
}
