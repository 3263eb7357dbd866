// The extended protocol's codecs on bytes worked out by hand: frames, fragments, messages.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "ExtFragments.h"
#include "ExtFrame.h"
#include "ExtFrameBytes.h"
#include "ExtMessage.h"
#include "ExtResultCodes.h"

using namespace fennec::ext;
using ext_bytes::Bytes;

namespace {

// The request of a 10-register read of table 100 from register 0: one frame of Len 24.
const Bytes kReadOf10{0xFD, 0x02, 0x18, 0x00, 0x24, 0x01, 0x01, 0x00, 0x05, 0x00,  // header
                      0x0C, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00,  // message
                      0xBC, 0x01};

Bytes Sequence(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(i);
  return bytes;
}

}  // namespace

TEST(ExtFrame, ARequestIsStartBytesLenFieldsDataAndByteSum) {
  const ExtFrame frame{kProtId, 1, 1, 5, 0, {0x0C, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00}};
  EXPECT_EQ(EncodeRequest(frame), kReadOf10);
  EXPECT_EQ(frame.Len(), 24u);
}

TEST(ExtFrame, TheLeadIsJudgedBeforeTheRestIsRead) {
  struct Case {
    std::array<std::uint8_t, 4> lead;
    std::size_t fragmentSize;
    LeadVerdict verdict;
    std::size_t remaining;
  };
  const Case cases[] = {
      {{0x02, 0xFD, 12, 0}, 64, LeadVerdict::Good, 8},
      {{0x02, 0xFD, 76, 0}, 64, LeadVerdict::Good, 72},  // FragmentSize + 12
      {{0x02, 0xFD, 77, 0}, 64, LeadVerdict::BadLength, 0},
      {{0x02, 0xFD, 11, 0}, 64, LeadVerdict::BadLength, 0},
      {{0x02, 0xFD, 0xFF, 0xFF}, 64, LeadVerdict::BadLength, 0},
      {{0x02, 0xFD, 0x0C, 0x01}, 300, LeadVerdict::Good, 264},  // Len 268, high byte counts
      {{0xFD, 0x02, 12, 0}, 64, LeadVerdict::WrongHeader, 0},   // a request heard back
      {{0x02, 0x00, 12, 0}, 64, LeadVerdict::WrongHeader, 0},
  };
  for (const Case& c : cases) {
    const LeadCheck check = CheckLead(c.lead, c.fragmentSize);
    EXPECT_EQ(check.verdict, c.verdict) << int(c.lead[2]);
    EXPECT_EQ(check.remaining, c.remaining) << int(c.lead[2]);
  }
}

TEST(ExtFrame, DecodingTakesOnlyAWholeFrameWithItsSum) {
  const ext_bytes::Frame sent{'$', 0x81, 0x8001, 7, 0, {1, 2, 3}};
  const Bytes good = ext_bytes::DeviceFrame(sent);
  const std::optional<ExtFrame> decoded = DecodeFrame(good);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, (ExtFrame{'$', 0x81, 0x8001, 7, 0, {1, 2, 3}}));
  EXPECT_EQ(decoded->Counter(), 1);
  EXPECT_TRUE(decoded->MoreFollow());

  Bytes badSum = good;
  badSum.back() ^= 0x01;
  EXPECT_FALSE(DecodeFrame(badSum));
  EXPECT_FALSE(DecodeFrame(Bytes(good.begin(), good.end() - 1)));  // Len says one byte more
  EXPECT_FALSE(DecodeFrame(Bytes(good.begin(), good.begin() + 11)));
}

TEST(ExtFragments, A162ByteMessageTravelsAs64And64And34) {
  const Bytes message = Sequence(162);
  const T_FragInfo info{162, 12, 3, 9, 0};
  struct Expected {
    std::uint16_t fragCnt;
    std::size_t offset;
    std::size_t length;
  };
  for (const Expected& e : {Expected{0x8001, 0, 64}, Expected{0x8002, 64, 64}, Expected{0x0003, 128, 34}}) {
    const auto fragment = BuildFragment(message, e.fragCnt & 0x7FFF, 64, info);
    ASSERT_TRUE(fragment.has_value());
    EXPECT_EQ(fragment->fragCnt, e.fragCnt);
    EXPECT_EQ(fragment->data, Bytes(message.begin() + e.offset, message.begin() + e.offset + e.length));
    EXPECT_EQ(fragment->cmd, 3);
    EXPECT_EQ(fragment->seqNr, 9);
    EXPECT_EQ(fragment->protId, '$');
  }
  EXPECT_FALSE(BuildFragment(message, 4, 64, info));  // beyond the message
  EXPECT_FALSE(BuildFragment(message, 0, 64, info));
  EXPECT_FALSE(BuildFragment(message, 1, 0, info));
  // An exact multiple ends with the last full fragment.
  EXPECT_EQ(BuildFragment(Sequence(128), 2, 64, info)->fragCnt, 2);
  EXPECT_FALSE(BuildFragment(Sequence(128), 3, 64, info));
  EXPECT_TRUE(BuildFragment({}, 1, 64, info)->data.empty());
}

TEST(ExtFragments, ConfirmationsAndAnswersAreCheckedInOrder) {
  const SentFields sent{1, 7, '$'};
  struct Case {
    const char* name;
    ExtFrame frame;
    FrameVerdict confirmation;
    FrameVerdict response;
  };
  const Case cases[] = {
      {"confirmation", {'$', 0, 1, 7, 0, {}}, {0, 0}, {kWrongCommand, kErrCommand}},
      {"answer", {'$', 0x81, 1, 7, 0, {}}, {kWrongCommand, kErrCommand}, {0, 0}},
      {"wrong command and sequence", {'$', 0x82, 1, 8, 0, {}}, {kWrongCommand, kErrCommand}, {kWrongCommand, kErrCommand}},
      {"wrong sequence", {'$', 0x81, 1, 8, 0, {}}, {kWrongCommand, kErrCommand}, {kWrongSeqNr, kErrSeqNr}},
      {"wrong protocol", {'#', 0, 1, 7, 0, {}}, {kWrongProtId, 0}, {kWrongCommand, kErrCommand}},
      {"device error", {'$', 0, 1, 7, 0x21, {}}, {0x21, 0x21}, {kWrongCommand, kErrCommand}},
      {"answer with device error", {'$', 0x81, 1, 7, 0x22, {}}, {kWrongCommand, kErrCommand}, {0x22, 0x22}},
  };
  for (const Case& c : cases) {
    const FrameVerdict confirmation = CheckConfirmation(c.frame, sent);
    const FrameVerdict response = CheckResponse(c.frame, sent);
    EXPECT_EQ(confirmation.result, c.confirmation.result) << c.name;
    EXPECT_EQ(confirmation.errCode, c.confirmation.errCode) << c.name;
    EXPECT_EQ(response.result, c.response.result) << c.name;
    EXPECT_EQ(response.errCode, c.response.errCode) << c.name;
  }
}

TEST(ExtFragments, AnAnswerIsStoredOnlyInOrderAndWithinItsBuffer) {
  struct Step {
    std::uint16_t fragCnt;
    std::size_t length;
    std::uint32_t result;
    std::uint8_t errCode;
  };
  struct Case {
    const char* name;
    std::size_t answerSize;
    std::vector<Step> steps;
    std::uint16_t received;
  };
  const Case cases[] = {
      {"in order", 10, {{0x8001, 4, 0, 0}, {0x8002, 4, 0, 0}, {3, 2, 0, 0}}, 10},
      {"counter 0", 10, {{0, 4, kCounterZero, 0}}, 0},
      {"repeated", 10, {{0x8001, 4, 0, 0}, {0x8001, 4, kRepeatedFragment, 0}}, 4},
      {"2 before 1", 10, {{0x8002, 4, kOutOfOrder, 0}}, 0},
      {"longer than a fragment", 10, {{1, 5, kFragmentTooLong, kErrFragmentTooLong}}, 0},
      {"without data", 10, {{1, 0, kFragmentWithoutData, kErrNoData}}, 0},
      {"beyond the buffer", 6, {{0x8001, 4, 0, 0}, {2, 4, kAnswerCut, kErrBufferTooSmall}}, 6},
  };
  for (const Case& c : cases) {
    Bytes answer(c.answerSize, 0xEE);
    Reassembly reassembly;
    std::uint32_t last = 0;
    for (const Step& step : c.steps) {
      ExtFrame fragment{'$', 0x81, step.fragCnt, 1, 0, Bytes(step.length, static_cast<unsigned char>(step.fragCnt & 0xFF))};
      const FrameVerdict verdict = StoreFragment(reassembly, fragment, answer, 4);
      EXPECT_EQ(verdict.result, step.result) << c.name;
      EXPECT_EQ(verdict.errCode, step.errCode) << c.name;
      last = verdict.result;
    }
    EXPECT_EQ(reassembly.received, c.received) << c.name;
    if (last == 0 && c.answerSize == 10) {
      EXPECT_EQ(answer, (Bytes{1, 1, 1, 1, 2, 2, 2, 2, 3, 3})) << c.name;
    }
  }
  // What did not fit is cut, what did is in place.
  Bytes answer(6, 0);
  Reassembly reassembly;
  StoreFragment(reassembly, {'$', 0x81, 0x8001, 1, 0, {1, 2, 3, 4}}, answer, 4);
  StoreFragment(reassembly, {'$', 0x81, 2, 1, 0, {5, 6, 7, 8}}, answer, 4);
  EXPECT_EQ(answer, (Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(reassembly.lastCounter, 2);
}

TEST(ExtFragments, AConfirmationRepeatsTheCounterWithoutBit15) {
  EXPECT_EQ(Confirmation(0x8003, {3, 9, '$'}, 4), (ExtFrame{'$', 0, 3, 9, 4, {}}));
}

TEST(ExtFragments, OnlyTheOldRestartAnswerStandsForTheRestartService) {
  const Bytes restart = ext_bytes::Message({12, 1, 2, 0, 0, 0});
  const Bytes save = ext_bytes::Message({12, 1, 5, 0, 0, 0});
  const ExtFrame sent{'$', 3, 1, 42, 0, restart};
  // 02 FD | 0E 00 00 01 72 00 63 00 00 00 | checksum, read as an extended frame.
  const ExtFrame oldAnswer{0x00, 0x01, 0x0072, 0x63, 0x00, {0x00, 0x00}};

  const OldProtocolVerdict verdict = ExamineOldProtocolAnswer(oldAnswer, restart, sent);
  EXPECT_EQ(verdict.result, 0u);
  ASSERT_TRUE(verdict.answer.has_value());
  EXPECT_EQ(*verdict.answer, (ExtFrame{'$', 0x83, 1, 42, 0, ext_bytes::Message({12, 1, 2, 0, 0, 0})}));
  EXPECT_EQ(verdict.answer->Len(), 24u);

  EXPECT_EQ(ExamineOldProtocolAnswer(oldAnswer, save, {'$', 3, 1, 42, 0, save}).result, kOldProtocolAnswer);
  ExtFrame otherTable = oldAnswer;
  otherTable.seqNr = 0x64;
  EXPECT_EQ(ExamineOldProtocolAnswer(otherTable, restart, sent).result, kOldProtocolAnswer);
  ExtFrame foreign = oldAnswer;
  foreign.protId = '#';
  EXPECT_EQ(ExamineOldProtocolAnswer(foreign, restart, sent).result, kWrongProtId);
  EXPECT_FALSE(ExamineOldProtocolAnswer(foreign, restart, sent).answer);
}

TEST(ExtMessage, TheSizeCheckFollowsWhatTheDeviceAnnounced) {
  struct Case {
    std::uint32_t send;
    std::uint32_t receive;
    ProtocolLimits limits;
    std::uint32_t result;
  };
  const Case cases[] = {
      {12, 64, {64, 0, false}, 0},
      {12, 65, {64, 0, false}, kBeyondFragment},
      {65, 12, {64, 10, false}, kBeyondFragment},  // the buffer counts only with fragmentation
      {12, 1024, {64, 1024, true}, 0},
      {12, 1026, {64, 1024, true}, kBeyondTargetBuffer},
      {1025, 12, {64, 1024, true}, kBeyondTargetBuffer},
      {12, 65535, {64, 0, true}, 0},
      {12, 65536, {64, 0, true}, kBeyondTargetBuffer},  // usLen cannot say it
      {65536, 12, {64, 0, false}, kBeyondTargetBuffer},
      {12, 12, {0, 0, true}, kBeyondFragment},  // no fragment carries data
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckMessageSize(c.send, c.receive, c.limits), c.result) << c.send << " " << c.receive;
  EXPECT_EQ(kMaxRegisterCount, 32761u);
}

TEST(ExtMessage, RequestsAreTheSixHeaderWordsAndThePayload) {
  EXPECT_EQ(BuildServiceMessage({1, 3, 0, 2}, {}), ext_bytes::Message({12, 1, 3, 0, 2, 0}));
  EXPECT_EQ(BuildServiceMessage({2, 33, 2, 6}, Bytes{0x03, 0x01}), ext_bytes::Message({14, 2, 33, 2, 6, 0}, {0x03, 0x01}));
  EXPECT_EQ(BuildRegisterMessage({0, 110, 300, 2, 2}, std::vector<std::uint16_t>{0x1234, 0xABCD}),
            ext_bytes::Message({16, 0, 110, 300, 2, 0}, {0x34, 0x12, 0xCD, 0xAB}));
  EXPECT_EQ(BuildRegisterMessage({0, 110, 0, 300, 1}, {}), ext_bytes::Message({12, 0, 110, 0, 300, 0}));
}

TEST(ExtMessage, AnswersAreComparedWithTheirRequestInOrder) {
  const T_RegComInfo read{0, 110, 5, 2, 1};
  struct Case {
    const char* name;
    std::vector<std::uint16_t> header;
    std::size_t received;
    AnswerCheck expected;
  };
  const Case cases[] = {
      {"good", {16, 0, 110, 5, 2, 0}, 16, {0, 0}},
      {"device error", {16, 0, 110, 5, 2, 0x8201}, 16, {0, 0x8201}},
      {"not what arrived", {16, 9, 9, 9, 9, 9}, 14, {kLengthNotReceived, 0}},
      {"shorter than asked", {14, 0, 110, 5, 2, 0}, 14, {kLengthNotExpected, 0}},
      {"module", {16, 1, 111, 6, 3, 0}, 16, {kModuleDiffers, 0}},
      {"table", {16, 0, 111, 6, 3, 0}, 16, {kTableDiffers, 0}},
      {"register", {16, 0, 110, 6, 2, 0}, 16, {kRegisterDiffers, 0}},
      {"count", {16, 0, 110, 5, 3, 0}, 16, {kRegisterDiffers, 0}},
  };
  for (const Case& c : cases) {
    const Bytes answer = ext_bytes::Message(c.header, {0xAA, 0xBB, 0xCC, 0xDD});
    const AnswerCheck check = CheckRegisterAnswer(answer, c.received, read);
    EXPECT_EQ(check.result, c.expected.result) << c.name;
    EXPECT_EQ(check.deviceError, c.expected.deviceError) << c.name;
  }

  const T_SrvComInfo service{1, 8, 2, 4};
  const Case services[] = {
      {"good", {16, 1, 8, 2, 4, 0}, 16, {0, 0}},
      {"group", {16, 2, 9, 3, 5, 0}, 16, {kGroupDiffers, 0}},
      {"number", {16, 1, 9, 3, 5, 0}, 16, {kServiceDiffers, 0}},
      {"arguments", {16, 1, 8, 3, 5, 0}, 16, {kWrArgDiffers, 0}},
      {"results", {16, 1, 8, 2, 5, 0x8212}, 16, {kRdArgDiffers, 0}},
      {"device error", {16, 1, 8, 2, 4, 0x8212}, 16, {0, 0x8212}},
  };
  for (const Case& c : services) {
    const Bytes answer = ext_bytes::Message(c.header, {0xAA, 0xBB, 0xCC, 0xDD});
    const AnswerCheck check = CheckServiceAnswer(answer, c.received, service);
    EXPECT_EQ(check.result, c.expected.result) << c.name;
    EXPECT_EQ(check.deviceError, c.expected.deviceError) << c.name;
  }
}
