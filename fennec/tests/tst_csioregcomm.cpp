#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "SIORegComm.h"
#include "ScriptedConnection.h"
#include "TelegramBytes.h"
#include "VtableSlots.h"

using fennec::platform::GetThreadLastError;
using fennec::platform::SetThreadLastError;
using namespace telegram_bytes;

namespace {

const Bytes kReadTable124{0xFD, 0x02, 0x0C, 0x00, 0x00, 0x01, 0x52, 0x00, 0x7C, 0x00, 0xDA, 0x01};

// A device whose registers hold table x 256 + register number.
Bytes AnswerWithRegisterNumbers(const Bytes& request) {
  const Request asked = Parse(request);
  if (asked.write) return WriteAnswer(asked.table, asked.firstReg, asked.count);
  std::vector<std::uint16_t> words;
  for (unsigned i = 0; i < asked.count; ++i) words.push_back(static_cast<std::uint16_t>(asked.table * 256 + asked.firstReg + i));
  return ReadAnswer(asked.table, asked.firstReg, words);
}

class RegCommTest : public ::testing::Test {
 protected:
  void SetUp() override {
    line.Open();
    SetThreadLastError(0);
  }

  ScriptedConnection line;
  CSIORegComm regComm{&line};
};

}  // namespace

TEST(RegCommLayout, SlotOrderOfTheRegisterAccess) {
  EXPECT_EQ(Slot(&CRegCommBase::WriteRegister), 1u);
  EXPECT_EQ(Slot(&CRegCommBase::ReadRegister), 2u);
}

TEST_F(RegCommTest, ReadOfOneRegisterOfTable124) {
  line.QueueReply(ReadAnswer(124, 0, {0x0042}));
  std::uint16_t word = 0;
  ASSERT_TRUE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(line.written, kReadTable124);
  EXPECT_EQ(word, 0x0042);
  EXPECT_EQ(line.clearCalls, 0);
}

TEST_F(RegCommTest, NothingToTransferSendsNothing) {
  std::uint16_t word = 0;
  EXPECT_TRUE(regComm.ReadRegister(0, 1, 0, 0, &word));
  EXPECT_TRUE(regComm.WriteRegister(0, 1, 0, 0, &word));
  EXPECT_TRUE(line.written.empty());
}

TEST_F(RegCommTest, WriteOfTwoWords) {
  line.QueueReply(WriteAnswer(5, 3, 2));
  const std::uint16_t words[] = {0x1234, 0xABCD};
  ASSERT_TRUE(regComm.WriteRegister(0, 5, 3, 2, words));
  EXPECT_EQ(line.written, (Bytes{0xFD, 0x02, 0x10, 0x00, 0x00, 0x02, 0x52, 0x00, 0x85, 0x03, 0x34, 0x12, 0xCD, 0xAB,
                                 0xA9, 0x03}));
}

TEST_F(RegCommTest, HundredRegistersTravelIn44And44And12) {
  line.respond = AnswerWithRegisterNumbers;
  std::vector<std::uint16_t> words(100);
  ASSERT_TRUE(regComm.ReadRegister(0, 3, 10, 100, words.data()));
  ASSERT_EQ(line.writes.size(), 3u);
  const unsigned expectedCount[] = {44, 44, 12};
  const unsigned expectedStart[] = {10, 54, 98};
  for (std::size_t i = 0; i < 3; ++i) {
    const Request asked = Parse(line.writes[i]);
    EXPECT_FALSE(asked.write);
    EXPECT_EQ(asked.count, expectedCount[i]);
    EXPECT_EQ(asked.firstReg, expectedStart[i]);
    EXPECT_EQ(line.writes[i].size(), 12u);
  }
  for (unsigned i = 0; i < 100; ++i) ASSERT_EQ(words[i], 3 * 256 + 10 + i) << i;
}

TEST_F(RegCommTest, WriteFragmentsCarryTheirShareOfTheWords) {
  line.respond = AnswerWithRegisterNumbers;
  regComm.SetFragmentSize(10);
  std::vector<std::uint16_t> words(25);
  for (unsigned i = 0; i < 25; ++i) words[i] = static_cast<std::uint16_t>(0x100 + i);
  ASSERT_TRUE(regComm.WriteRegister(0, 100, 0, 25, words.data()));
  ASSERT_EQ(line.writes.size(), 3u);
  EXPECT_EQ(Parse(line.writes[2]).firstReg, 20u);
  EXPECT_EQ(Parse(line.writes[2]).words, (std::vector<std::uint16_t>{0x114, 0x115, 0x116, 0x117, 0x118}));
  EXPECT_EQ(line.writes[0].size(), 32u);  // (10 + 6) x 2
}

TEST_F(RegCommTest, FragmentSizeOutside1To44Selects44) {
  for (int size : {0, -3, 45}) {
    regComm.SetFragmentSize(10);
    regComm.SetFragmentSize(size);
    EXPECT_EQ(regComm.GetFragmentSize(), 44) << size;
  }
  regComm.SetFragmentSize(10);
  EXPECT_EQ(regComm.GetFragmentSize(), 10);
}

TEST_F(RegCommTest, DeviceRejectionIsReportedWithItsCodeAndNotRepeated) {
  line.QueueReply(Rejection(5, 0, 0x8201));
  line.QueueReply(ReadAnswer(5, 0, {1}));
  std::uint16_t word = 0x5555;
  EXPECT_FALSE(regComm.ReadRegister(0, 5, 0, 1, &word));
  EXPECT_EQ(GetThreadLastError(), 0x20088201u);
  EXPECT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(word, 0x5555);
  EXPECT_EQ(line.clearCalls, 0);  // a whole telegram leaves nothing behind
}

TEST_F(RegCommTest, EchoedRequestIsRecognisedAndDrained) {
  line.echo = true;
  line.QueueReply(ReadAnswer(124, 0, {1}));
  std::uint16_t word = 0;
  EXPECT_FALSE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(GetThreadLastError(), 0x20010800u);
  EXPECT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(line.readCalls, 1);  // the lead alone gave it away
  EXPECT_EQ(line.clearCalls, 1);
  EXPECT_TRUE(line.pending.empty());
}

TEST_F(RegCommTest, TimeOutThenAnswerSucceedsWithTheFreshAnswer) {
  // The first answer comes too late and would still be in the input at the repetition.
  line.QueueLateReply(ReadAnswer(124, 0, {0x0001}));
  line.QueueReply(ReadAnswer(124, 0, {0x0002}));
  line.QueueReply(ReadAnswer(124, 0, {0x0003}));
  std::uint16_t word = 0;
  ASSERT_TRUE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(word, 0x0002);
  EXPECT_EQ(line.writes.size(), 2u);
  EXPECT_EQ(line.writes[0], line.writes[1]);
  EXPECT_EQ(line.clearCalls, 1);
  // And the next request reads its own answer, not one left over.
  ASSERT_TRUE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(word, 0x0003);
}

TEST_F(RegCommTest, TwoTimeOutsFailWithNoAnswer) {
  line.QueueSilence();
  line.QueueSilence();
  line.QueueReply(ReadAnswer(124, 0, {1}));
  std::uint16_t word = 0;
  EXPECT_FALSE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(GetThreadLastError(), 0x20010200u);
  EXPECT_EQ(line.writes.size(), 2u);
}

TEST_F(RegCommTest, EmptyAnswerCountsAsNoAnswer) {
  line.QueueReply(Bytes(14, 0));
  line.QueueReply(ReadAnswer(124, 0, {0x0009}));
  std::uint16_t word = 0;
  ASSERT_TRUE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(word, 0x0009);
  EXPECT_EQ(line.writes.size(), 2u);
}

TEST_F(RegCommTest, ChecksumErrorIsNotRepeatedAndLeavesNothingForTheNextRequest) {
  Bytes damaged = ReadAnswer(124, 0, {0x0001});
  damaged.back() ^= 0x10;
  line.QueueReply(Concat(damaged, {0x02, 0xFD}));  // plus the start of something that follows
  line.QueueReply(ReadAnswer(124, 0, {0x0002}));
  std::uint16_t word = 0;
  EXPECT_FALSE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(GetThreadLastError(), 0x20010400u);
  EXPECT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(line.clearCalls, 1);
  ASSERT_TRUE(regComm.ReadRegister(0, 124, 0, 1, &word));
  EXPECT_EQ(word, 0x0002);
}

TEST_F(RegCommTest, LengthByteOutOfRangeFailsBeforeTheRestIsRead) {
  for (unsigned char length : {0xFF, 0x65, 0x0B}) {
    ScriptedConnection device;
    device.Open();
    CSIORegComm access(&device);
    device.QueueReply(Concat({0x02, 0xFD, length}, Bytes(120, 0x55)));
    std::uint16_t word = 0;
    EXPECT_FALSE(access.ReadRegister(0, 124, 0, 1, &word));
    EXPECT_EQ(GetThreadLastError(), 0x20010400u) << int(length);
    EXPECT_EQ(device.readCalls, 1);
    EXPECT_EQ(device.writes.size(), 1u);
    EXPECT_TRUE(device.pending.empty());
  }
}

TEST_F(RegCommTest, AnswerWithFewerWordsThanAskedForIsRefused) {
  line.QueueReply(ReadAnswer(7, 0, {1, 2}));
  std::array<std::uint16_t, 3> words{9, 9, 9};
  EXPECT_FALSE(regComm.ReadRegister(0, 7, 0, 3, words.data()));
  EXPECT_EQ(GetThreadLastError(), 0x20010400u);
  EXPECT_EQ(words, (std::array<std::uint16_t, 3>{9, 9, 9}));
}

TEST_F(RegCommTest, FailedFragmentStopsTheRest) {
  regComm.SetFragmentSize(2);
  line.QueueReply(ReadAnswer(7, 0, {1, 2}));
  line.QueueReply(Rejection(7, 2, 0x8215));
  line.QueueReply(ReadAnswer(7, 4, {5, 6}));
  std::array<std::uint16_t, 6> words{};
  EXPECT_FALSE(regComm.ReadRegister(0, 7, 0, 6, words.data()));
  EXPECT_EQ(GetThreadLastError(), 0x20088215u);
  EXPECT_EQ(line.writes.size(), 2u);
  EXPECT_EQ(words, (std::array<std::uint16_t, 6>{1, 2, 0, 0, 0, 0}));
}

TEST_F(RegCommTest, LineErrorIsReportedWithTheTransportsCodeAndNotRepeated) {
  line.respond = [this](const Bytes&) -> Bytes { line.Fail(0x20010004); };  // parity error
  std::uint16_t word = 0;
  EXPECT_FALSE(regComm.ReadRegister(0, 1, 0, 1, &word));
  EXPECT_EQ(GetThreadLastError(), 0x20010004u);
  EXPECT_EQ(line.writes.size(), 1u);
}

TEST_F(RegCommTest, ClosedConnectionSendsNothing) {
  line.Close();
  std::uint16_t word = 0;
  EXPECT_FALSE(regComm.ReadRegister(0, 1, 0, 1, &word));
  EXPECT_EQ(GetThreadLastError(), 0x20020100u);
  EXPECT_TRUE(line.written.empty());
}

TEST_F(RegCommTest, OutOfRangeArgumentsAreReportedAndSendNothing) {
  struct Case {
    unsigned device, table, first, count;
    bool nullBuffer;
    std::string condition;
  };
  std::array<std::uint16_t, 8> words{};
  for (const Case& c : {Case{0, 128, 0, 1, false, "nTableNo < MAXCOUNT_TABLES"},
                        Case{256, 0, 0, 1, false, "nDeviceNo < MAXCOUNT_DEVICES"},
                        Case{0, 0, 256, 1, false, "nFirstReg < MAXCOUNT_REGISTER"},
                        Case{0, 0, 0, 1, true, "pwRegData != NULL"},
                        Case{0, 0, 250, 7, false, "nFirstReg + nCount <= MAXCOUNT_REGISTER"}}) {
    fennec::platform::DebugCapture capture;
    SetThreadLastError(0x1234);
    std::uint16_t* buffer = c.nullBuffer ? nullptr : words.data();
    EXPECT_FALSE(regComm.ReadRegister(c.device, c.table, c.first, c.count, buffer));
    EXPECT_FALSE(regComm.WriteRegister(c.device, c.table, c.first, c.count, buffer));
    EXPECT_NE(capture.Text().find(c.condition), std::string::npos) << capture.Text();
    EXPECT_NE(capture.Text().find("SIORegComm"), std::string::npos) << capture.Text();
    EXPECT_EQ(GetThreadLastError(), 0x1234u);
  }
  EXPECT_TRUE(line.written.empty());
}

TEST_F(RegCommTest, LastRegisterIsWithinRange) {
  line.respond = AnswerWithRegisterNumbers;
  std::array<std::uint16_t, 2> words{};
  EXPECT_TRUE(regComm.ReadRegister(0, 1, 255, 1, words.data()));
  EXPECT_TRUE(regComm.ReadRegister(0, 1, 254, 2, words.data()));
  EXPECT_EQ(words[1], 0x01FF);
}

TEST_F(RegCommTest, AnAnswerToAnotherRequestIsNeverTakenForThisOnesAnswer) {
  // What is left on the line when an answer came later than the time-out: the answer to an
  // earlier request, and this request's own answer behind it.
  const struct {
    const char* what;
    Bytes stale;
    std::uint32_t code;
  } cases[] = {
      {"another register", ReadAnswer(100, 6, {0x0BAD}), 0x20010800u},
      {"another table", ReadAnswer(99, 5, {0x0BAD}), 0x20010800u},
      {"more words than asked", ReadAnswer(100, 5, {0x0BAD, 0x0BAD}), 0x20010400u},
      {"a write's answer", WriteAnswer(100, 5, 1), 0x20010400u},
  };
  for (const auto& c : cases) {
    ScriptedConnection device;
    device.Open();
    CSIORegComm access(&device);
    device.QueueReply(Concat(c.stale, ReadAnswer(100, 5, {0x1234})));
    std::uint16_t word = 0x5555;
    EXPECT_FALSE(access.ReadRegister(0, 100, 5, 1, &word)) << c.what;
    EXPECT_EQ(GetThreadLastError(), c.code) << c.what;
    EXPECT_EQ(word, 0x5555) << c.what;
    EXPECT_EQ(device.writes.size(), 1u) << c.what;  // not repeated
    EXPECT_TRUE(device.pending.empty()) << c.what;  // drained: the next request reads its own answer
  }
}
