// The fragmentation layer's state machine against a scripted device: splitting, confirmations,
// reassembly, and how each damaged frame is repeated and reported.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Common/OrlaException.h"
#include "ExtDevice.h"
#include "ExtProtokoll.h"
#include "ScriptedConnection.h"

using namespace ext_bytes;

namespace {

constexpr std::uint8_t kRead = 1;

class Fragmentation : public ::testing::Test {
 protected:
  // The device announces these limits; the protocol engine runs on them over `line`.
  void Announce(std::uint16_t targetBufSize, std::uint16_t fragmentEnable, std::uint16_t fragmentSize) {
    detected = std::make_unique<Detected>(Table124(targetBufSize, fragmentEnable, fragmentSize));
    ASSERT_EQ(detected->result, 0u);
    protokoll = std::make_unique<CExtProtokoll>(&line, &detected->detection, nullptr);
  }

  std::uint32_t ReadRegisters(std::uint16_t first, std::uint16_t count) {
    words.assign(count, 0);
    return protokoll->ExecuteRegComm(words.data(), {0, 110, first, count, kRead});
  }

  // Every request is answered the same way.
  void AnswerEveryRequestWith(std::function<Frame(const Frame& request)> answer) {
    line.Open();
    line.respond = [answer](const Bytes& written) { return DeviceFrame(answer(Parse(written))); };
  }

  ScriptedConnection line;
  std::unique_ptr<Detected> detected;
  std::unique_ptr<CExtProtokoll> protokoll;
  Words words;
};

// The answer to a one-register read of table 110, register 0, as the first (only) fragment.
Frame OneRegisterAnswer(const Frame& request) {
  return {kProtId, 0x81, 1, request.seqNr, 0, Message({14, 0, 110, 0, 1, 0}, {0x34, 0x12})};
}

}  // namespace

TEST_F(Fragmentation, TenRegistersGoOutAsOneFrameOfLen24) {
  Announce(0, 1, 100);
  ExtDevice device(line, 100);
  device.handler = NumberedRegisters;
  ASSERT_EQ(ReadRegisters(0, 10), 0u);
  ASSERT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(line.writes[0].size(), 24u);
  EXPECT_EQ(device.messages.at(0), Message({12, 0, 110, 0, 10, 0}));
  ASSERT_EQ(device.sent.size(), 1u);
  EXPECT_EQ(device.sent[0].data.size(), 32u);
  EXPECT_EQ(device.sent[0].fragCnt, 1);
  for (std::uint16_t i = 0; i < 10; ++i) EXPECT_EQ(words[i], 0x1000 + i);
}

TEST_F(Fragmentation, A150ByteServiceIsSplit64And64And34WithConfirmations) {
  Announce(0, 1, 64);
  ExtDevice device(line, 64);
  device.handler = [](unsigned char, const Bytes&) { return Message({12, 1, 99, 150, 0, 0}); };
  Bytes arguments(150);
  for (std::size_t i = 0; i < arguments.size(); ++i) arguments[i] = static_cast<unsigned char>(i);
  ASSERT_EQ(protokoll->ExecuteService(arguments.data(), {1, 99, 150, 0}), 0u);

  ASSERT_EQ(device.received.size(), 3u);
  const std::uint16_t counters[] = {0x8001, 0x8002, 0x0003};
  const std::size_t lengths[] = {64, 64, 34};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(device.received[i].fragCnt, counters[i]);
    EXPECT_EQ(device.received[i].data.size(), lengths[i]);
    EXPECT_EQ(device.received[i].cmd, 3);
  }
  EXPECT_EQ(device.messages.at(0), Message({162, 1, 99, 150, 0, 0}, arguments));
  // The device acknowledged the first two, then answered.
  ASSERT_EQ(device.sent.size(), 3u);
  EXPECT_EQ(device.sent[0].cmd, 0);
  EXPECT_EQ(device.sent[0].fragCnt, 1);
  EXPECT_EQ(device.sent[1].cmd, 0);
  EXPECT_EQ(device.sent[1].fragCnt, 2);
  EXPECT_EQ(device.sent[2].cmd, 0x83);
}

TEST_F(Fragmentation, AnAnswerOfThreeFragmentsIsConfirmedFragmentByFragment) {
  Announce(1024, 1, 64);
  ExtDevice device(line, 64);
  device.handler = NumberedRegisters;
  ASSERT_EQ(ReadRegisters(100, 60), 0u);  // 132 answer bytes: 64, 64, 4
  ASSERT_EQ(device.received.size(), 3u);
  EXPECT_EQ(device.received[1].cmd, 0);
  EXPECT_EQ(device.received[1].fragCnt, 1);
  EXPECT_EQ(device.received[2].fragCnt, 2);
  EXPECT_EQ(device.received[1].seqNr, device.received[0].seqNr);
  for (std::uint16_t i = 0; i < 60; ++i) ASSERT_EQ(words[i], 0x1000 + 100 + i);
}

// A lost answer fragment is asked for again by repeating the last confirmation.
TEST_F(Fragmentation, ALostAnswerFragmentIsAskedForAgain) {
  Announce(1024, 1, 64);
  ExtDevice device(line, 64);
  device.handler = NumberedRegisters;
  device.lostFrames = {1};
  ASSERT_EQ(ReadRegisters(0, 60), 0u);
  ASSERT_EQ(device.received.size(), 4u);
  EXPECT_EQ(device.received[1].fragCnt, 1);
  EXPECT_EQ(device.received[2].fragCnt, 1);
  EXPECT_EQ(device.received[3].fragCnt, 2);
  for (std::uint16_t i = 0; i < 60; ++i) ASSERT_EQ(words[i], 0x1000 + i);
}

TEST_F(Fragmentation, Counter2Before1Gives14AfterThreeRepetitionsWithErr0) {
  Announce(0, 1, 100);
  AnswerEveryRequestWith([](const Frame& request) {
    Frame answer = OneRegisterAnswer(request);
    answer.fragCnt = 2;
    return answer;
  });
  EXPECT_EQ(ReadRegisters(0, 1), 14u);
  ASSERT_EQ(line.writes.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(line.writes[i], line.writes[0]) << i;
}

TEST_F(Fragmentation, AWrongSequenceNumberThreeTimesRepeatedGives19) {
  Announce(0, 1, 100);
  AnswerEveryRequestWith([](const Frame& request) {
    Frame answer = OneRegisterAnswer(request);
    ++answer.seqNr;
    return answer;
  });
  EXPECT_EQ(ReadRegisters(0, 1), 19u);
  ASSERT_EQ(line.writes.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) {
    const Frame resent = Parse(line.writes[i]);
    EXPECT_EQ(resent.err, 4) << i;
    EXPECT_EQ(resent.fragCnt, 1) << i;
    EXPECT_EQ(resent.seqNr, Parse(line.writes[0]).seqNr) << i;
  }
}

// Each damaged answer is repeated up to three times. Damaged once, the repetition brings the
// answer; damaged every time, the damage's code is the result.
TEST_F(Fragmentation, EveryDamagedAnswerHasItsCodeAndItsRepetition) {
  struct Case {
    const char* name;
    std::function<void(Frame&)> frame;
    std::function<void(Bytes&)> bytes;
    std::uint32_t result;
    unsigned char resentErr;
  };
  const auto nothing = [](Frame&) {};
  const auto onWire = [](Bytes&) {};
  const Case cases[] = {
      {"bad checksum", nothing, [](Bytes& b) { b[b.size() - 2] ^= 0xFF; }, 4, 0},
      {"bad header bytes", nothing, [](Bytes& b) { b[0] = 0xAA, b[1] = 0x55; }, 3, 0},
      {"Len beyond the fragment size", nothing, [](Bytes& b) { b[2] = 113, b[3] = 0; }, 4, 0},
      {"Len below 12", nothing, [](Bytes& b) { b[2] = 11, b[3] = 0; }, 4, 0},
      {"counter 0", [](Frame& f) { f.fragCnt = 0; }, onWire, 12, 0},
      {"without data", [](Frame& f) { f.data.clear(); }, onWire, 17, 6},
      {"wrong command", [](Frame& f) { f.cmd = 0x82; }, onWire, 18, 5},
      {"wrong sequence number", [](Frame& f) { ++f.seqNr; }, onWire, 19, 4},
      {"foreign protocol identifier", [](Frame& f) { f.protId = '#'; }, onWire, 20, 0},
      {"old telegram", [](Frame& f) { f.protId = 0; }, onWire, 33, 0},
      {"device error", [](Frame& f) { f.err = 0x21; }, onWire, 0x21, 0x21},
  };
  for (const Case& c : cases) {
    for (const unsigned damaged : {1u, 4u}) {
      SCOPED_TRACE(std::string(c.name) + (damaged == 1 ? ", once" : ", always"));
      ScriptedConnection damagedLine;
      Detected limits(Table124(0, 1, 100));
      CExtProtokoll engine(&damagedLine, &limits.detection, nullptr);
      unsigned answers = 0;
      damagedLine.Open();
      damagedLine.respond = [&](const Bytes& written) {
        Frame answer = OneRegisterAnswer(Parse(written));
        const bool damage = answers++ < damaged;
        if (damage) c.frame(answer);
        Bytes bytes = DeviceFrame(answer);
        if (damage) c.bytes(bytes);
        return bytes;
      };
      std::uint16_t word = 0;
      EXPECT_EQ(engine.ExecuteRegComm(&word, {0, 110, 0, 1, kRead}), damaged == 1 ? 0u : c.result);
      ASSERT_EQ(damagedLine.writes.size(), damaged == 1 ? 2u : 4u);
      EXPECT_EQ(Parse(damagedLine.writes[1]).err, c.resentErr);
      if (damaged == 1) {
        EXPECT_EQ(word, 0x1234);
      }
    }
  }
}

// A device that acknowledges the last fragment where it owes the answer would make the next
// fragment lie beyond the message: that is a wrong answer.
TEST_F(Fragmentation, AConfirmationWhereTheAnswerIsDueIsAWrongCommand) {
  Announce(0, 1, 100);
  AnswerEveryRequestWith([](const Frame& request) { return Confirmation(1, request.seqNr); });
  EXPECT_EQ(ReadRegisters(0, 1), 18u);
  ASSERT_EQ(line.writes.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(Parse(line.writes[i]).err, 5) << i;
}

// A confirmation carrying the device's Err: the answer is waited for, and the fragment goes
// again with that Err.
TEST_F(Fragmentation, ADeviceErrInAConfirmationIsSentBackUnchanged) {
  Announce(0, 1, 64);
  line.Open();
  line.respond = [](const Bytes& written) { return DeviceFrame(Confirmation(1, Parse(written).seqNr, 1)); };
  Bytes arguments(100, 0);
  EXPECT_EQ(protokoll->ExecuteService(arguments.data(), {1, 99, 100, 0}), 2u);
  ASSERT_EQ(line.writes.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(Parse(line.writes[i]).err, 1) << i;
    EXPECT_EQ(Parse(line.writes[i]).fragCnt, 0x8001) << i;
  }
}

// The cut fragment counts as stored: the device is told its answer was too long (Err 1), and
// its answer repeated is a repeated fragment.
TEST_F(Fragmentation, AnAnswerLongerThanItsBufferIsCutAndReported) {
  Announce(0, 1, 100);
  AnswerEveryRequestWith([](const Frame& request) {
    Frame answer = OneRegisterAnswer(request);
    answer.data.resize(30);
    return answer;
  });
  EXPECT_EQ(ReadRegisters(0, 1), 13u);
  ASSERT_EQ(line.writes.size(), 4u);
  EXPECT_EQ(Parse(line.writes[1]).err, 1);
  EXPECT_EQ(words[0], 0) << "a failed read leaves the caller's words alone";
}

// A restarting coupler answers the restart in the old format before it goes down.
TEST_F(Fragmentation, TheOldRestartAnswerCountsOnlyForTheRestart) {
  const Bytes oldAnswer = telegram_bytes::WithChecksum({0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x63, 0x00, 0x00, 0x00});
  Announce(0, 1, 64);
  line.Open();
  line.respond = [&](const Bytes&) { return oldAnswer; };
  EXPECT_EQ(protokoll->ExecuteService(nullptr, {1, 2, 0, 0}), 0u);
  EXPECT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(protokoll->ExecuteService(nullptr, {1, 5, 0, 0}), 33u);
  EXPECT_EQ(line.writes.size(), 5u);
}

TEST_F(Fragmentation, The32768thFragmentThrows111) {
  Announce(0, 1, 1);
  ExtDevice device(line, 1);
  Bytes arguments(32768, 0);
  try {
    protokoll->ExecuteService(arguments.data(), {1, 99, 32768, 0});
    FAIL() << "no exception";
  } catch (const COrlaException& failure) {
    EXPECT_EQ(failure.m_nNumber, 111);
    EXPECT_STREQ(failure.m_szText, "Zu viele Fragmente!(32767)");
  }
  EXPECT_EQ(line.writes.size(), 32767u);
}

// The answer's usLen promises more than arrived: the device is told that data is missing.
TEST_F(Fragmentation, AnAnswerShorterThanItsUsLenBringsADataMissingNotice) {
  Announce(0, 1, 100);
  ExtDevice device(line, 100);
  device.handler = [](unsigned char, const Bytes&) { return Message({32, 0, 110, 0, 10, 0}, Bytes(8, 0)); };
  EXPECT_EQ(ReadRegisters(0, 10), 26u);
  ASSERT_EQ(device.received.size(), 2u);
  const Frame notice = device.received[1];
  EXPECT_EQ(notice.cmd, 0);
  EXPECT_EQ(notice.err, 11);
  EXPECT_EQ(notice.fragCnt, 2);
  EXPECT_EQ(notice.seqNr, device.received[0].seqNr);
  EXPECT_TRUE(notice.data.empty());
}

TEST_F(Fragmentation, TheSequenceNumberCountsMessagesAndWraps) {
  Announce(0, 1, 100);
  ExtDevice device(line, 100);
  for (int i = 0; i < 257; ++i) ASSERT_EQ(protokoll->TestCommand(), 0u);
  EXPECT_EQ(device.received[0].seqNr, 1);
  EXPECT_EQ(device.received[1].seqNr, 2);
  EXPECT_EQ(device.received[254].seqNr, 255);
  EXPECT_EQ(device.received[255].seqNr, 0);
  EXPECT_EQ(device.received[256].seqNr, 1);
}
