#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ORLAHelpFunktions.h"
#include "Platform/DebugOutput.h"
#include "RegTelegram.h"

using namespace fennec::telegram;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Built(const std::optional<Telegram>& telegram) {
  if (!telegram) return {};
  return Bytes(telegram->Wire().begin(), telegram->Wire().end());
}

// A good answer to a one-register read of table 124, summed by hand:
// 2 + 253 + 14 + 1 + 82 + 124 + 0x34 + 0x12 = 546 = 0x0222.
const Bytes kGoodAnswer{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x52, 0x00, 0x7C, 0x00, 0x34, 0x12, 0x22, 0x02};

// The device refuses with code 0x8201: 2 + 253 + 14 + 82 + 133 + 1 + 130 = 0x0267.
const Bytes kRejection{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x00, 0x52, 0x00, 0x85, 0x00, 0x01, 0x82, 0x67, 0x02};

}  // namespace

TEST(CalculateChecksum, SumsBytesAndWordsModulo65536) {
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(CORLAHelpFunktions::CalculateChecksum(abc, 3), 0x0126);
  const std::uint16_t words[] = {0xFFFF, 0x0002};
  EXPECT_EQ(CORLAHelpFunktions::CalculateChecksum(words, 2), 0x0001);
  EXPECT_EQ(CORLAHelpFunktions::CalculateChecksum(abc, 0), 0);
  const std::vector<std::uint8_t> many(300, 0xFF);  // 300 x 255 = 76500 = 65536 + 10964
  EXPECT_EQ(CORLAHelpFunktions::CalculateChecksum(many.data(), many.size()), 10964);
}

TEST(CalculateChecksum, NullDataIsReportedAndSumsToZero) {
  fennec::platform::DebugCapture capture;
  EXPECT_EQ(CORLAHelpFunktions::CalculateChecksum(static_cast<const std::uint8_t*>(nullptr), 5), 0);
  EXPECT_NE(capture.Text().find("data != NULL"), std::string::npos) << capture.Text();
}

TEST(PrepareRequest, ReadOfOneRegisterOfTable124) {
  EXPECT_EQ(Built(PrepareReadRequest({0, 124, 0}, 1)),
            (Bytes{0xFD, 0x02, 0x0C, 0x00, 0x00, 0x01, 0x52, 0x00, 0x7C, 0x00, 0xDA, 0x01}));
}

TEST(PrepareRequest, WriteSetsTheWriteBitAndCarriesTheWords) {
  const std::uint16_t words[] = {0x1234, 0xABCD};
  // 253 + 2 + 16 + 2 + 82 + 0x85 + 3 + 0x34 + 0x12 + 0xCD + 0xAB = 0x03A9
  EXPECT_EQ(Built(PrepareWriteRequest({0, 5, 3}, words)),
            (Bytes{0xFD, 0x02, 0x10, 0x00, 0x00, 0x02, 0x52, 0x00, 0x85, 0x03, 0x34, 0x12, 0xCD, 0xAB, 0xA9, 0x03}));
}

TEST(PrepareRequest, MoreWordsThanOneTelegramCarriesAreRefused) {
  EXPECT_FALSE(PrepareReadRequest({0, 1, 0}, 45).has_value());
  const std::vector<std::uint16_t> words(45, 7);
  EXPECT_FALSE(PrepareWriteRequest({0, 1, 0}, words).has_value());
  EXPECT_EQ(Built(PrepareReadRequest({0, 1, 0}, 44)).size(), 12u);
  const std::vector<std::uint16_t> full(44, 7);
  const Bytes longest = Built(PrepareWriteRequest({0, 1, 0}, full));
  ASSERT_EQ(longest.size(), 100u);
  EXPECT_EQ(longest[2], 100);
}

TEST(AddChecksum, RefusesLengthsOutsideTheTelegramRange) {
  for (std::uint8_t length : {0, 11, 101, 255}) {
    Telegram telegram{};
    telegram.length = length;
    EXPECT_FALSE(AddChecksum(telegram)) << int(length);
  }
}

TEST(CheckLead, JudgesStartAndLengthBeforeTheRestIsRead) {
  struct Case {
    std::array<std::uint8_t, 3> lead;
    Verdict verdict;
    std::size_t remaining;
  };
  for (const Case& c : {Case{{0x02, 0xFD, 12}, Verdict::Good, 9}, Case{{0x02, 0xFD, 100}, Verdict::Good, 97},
                        Case{{0x02, 0xFD, 11}, Verdict::BadLength, 0}, Case{{0x02, 0xFD, 101}, Verdict::BadLength, 0},
                        Case{{0x02, 0xFD, 0}, Verdict::BadLength, 0}, Case{{0xFD, 0x02, 12}, Verdict::WrongStart, 0},
                        Case{{0x00, 0xFD, 12}, Verdict::NoAnswer, 0}, Case{{0x02, 0x00, 12}, Verdict::NoAnswer, 0}}) {
    const LeadCheck check = CheckLead(c.lead);
    EXPECT_EQ(check.verdict, c.verdict) << int(c.lead[0]) << " " << int(c.lead[1]) << " " << int(c.lead[2]);
    EXPECT_EQ(check.remaining, c.remaining);
  }
}

TEST(VerifyResponse, GoodAnswerAndRejection) {
  EXPECT_EQ(VerifyResponse(kGoodAnswer).verdict, Verdict::Good);
  const ResponseCheck rejected = VerifyResponse(kRejection);
  EXPECT_EQ(rejected.verdict, Verdict::Rejected);
  EXPECT_EQ(rejected.deviceCode, 0x8201);
  EXPECT_EQ(ErrorCode(rejected), 0x20088201u);
}

TEST(VerifyResponse, DamagedCopiesOfAGoodAnswer) {
  Bytes checksum = kGoodAnswer;
  checksum[10] ^= 0x01;
  EXPECT_EQ(ErrorCode(VerifyResponse(checksum)), 0x20010400u);

  Bytes echoed{0xFD, 0x02, 0x0C, 0x00, 0x00, 0x01, 0x52, 0x00, 0x7C, 0x00, 0xDA, 0x01};
  EXPECT_EQ(ErrorCode(VerifyResponse(echoed)), 0x20010800u);

  Bytes empty(14, 0);
  EXPECT_EQ(ErrorCode(VerifyResponse(empty)), 0x20010200u);

  Bytes truncated(kGoodAnswer.begin(), kGoodAnswer.end() - 1);  // length byte says 14
  EXPECT_EQ(VerifyResponse(truncated).verdict, Verdict::BadLength);
  EXPECT_EQ(ErrorCode(VerifyResponse(truncated)), 0x20010400u);
}

TEST(VerifyResponse, RejectionTooShortToCarryACodeIsNoRejection) {
  // Length 12 with the reject bit: the bytes where the code belongs are the checksum
  // (2 + 253 + 12 + 82 + 133 = 0x01E2); they must not be reported as the device's code.
  const Bytes shortRejection{0x02, 0xFD, 0x0C, 0x00, 0x00, 0x00, 0x52, 0x00, 0x85, 0x00, 0xE2, 0x01};
  const ResponseCheck check = VerifyResponse(shortRejection);
  EXPECT_EQ(check.verdict, Verdict::BadLength);
  EXPECT_EQ(ErrorCode(check), 0x20010400u);
}

TEST(CopyReadData, FillsAllOrNothing) {
  std::array<std::uint16_t, 1> one{};
  ASSERT_TRUE(CopyReadData(kGoodAnswer, one));
  EXPECT_EQ(one[0], 0x1234);

  std::array<std::uint16_t, 2> two{0xAAAA, 0xBBBB};
  EXPECT_FALSE(CopyReadData(kGoodAnswer, two));
  EXPECT_EQ(two, (std::array<std::uint16_t, 2>{0xAAAA, 0xBBBB}));
}

namespace {

// The bytes with byte `at` set to `value` and the checksum summed again.
Bytes Changed(Bytes telegram, std::size_t at, std::uint8_t value) {
  telegram[at] = value;
  telegram.resize(telegram.size() - 2);
  unsigned sum = 0;
  for (const std::uint8_t byte : telegram) sum += byte;
  telegram.push_back(static_cast<std::uint8_t>(sum & 0xFF));
  telegram.push_back(static_cast<std::uint8_t>((sum >> 8) & 0xFF));
  return telegram;
}

// Answers as a device builds them for the run of table 100 from register 10, summed by hand.
const Bytes kThreeWords{0x02, 0xFD, 0x12, 0x00, 0x00, 0x03, 0x52, 0x00, 0x64, 0x0A,
                        0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0xDA, 0x01};
const Bytes kFourWords{0x02, 0xFD, 0x14, 0x00, 0x00, 0x04, 0x52, 0x00, 0x64, 0x0A,
                       0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0xE1, 0x01};
const Bytes kTwoWords{0x02, 0xFD, 0x10, 0x00, 0x00, 0x02, 0x52, 0x00, 0x64, 0x0A, 0x07, 0x00, 0x08, 0x00, 0xE0, 0x01};
const Bytes kWriteOfTwo{0x02, 0xFD, 0x0C, 0x00, 0x00, 0x02, 0x52, 0x00, 0x64, 0x0A, 0xCD, 0x01};
const Bytes kRefused{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x00, 0x52, 0x00, 0xE4, 0x0A, 0x02, 0x82, 0xD1, 0x02};

}  // namespace

TEST(VerifyResponseTo, AnAnswerMustBeToThisRequest) {
  const Bytes readThree = Built(PrepareReadRequest({0, 100, 10}, 3));
  const std::uint16_t two[] = {7, 8};
  const Bytes writeTwo = Built(PrepareWriteRequest({0, 100, 10}, two));
  Bytes damaged = kThreeWords;
  damaged[16] ^= 0x01;
  const struct {
    const char* what;
    Bytes request;
    Bytes response;
    Verdict verdict;
  } cases[] = {
      {"the read's own answer", readThree, kThreeWords, Verdict::Good},
      {"another table", readThree, Changed(kThreeWords, 8, 0x65), Verdict::Foreign},
      {"another first register", readThree, Changed(kThreeWords, 9, 0x0B), Verdict::Foreign},
      {"another device", readThree, Changed(kThreeWords, 7, 0x01), Verdict::Foreign},
      {"a count other than asked", readThree, Changed(kThreeWords, 5, 0x02), Verdict::BadLength},
      {"more words than asked", readThree, kFourWords, Verdict::BadLength},
      {"a write's answer to a read", readThree, Changed(kWriteOfTwo, 5, 0x03), Verdict::BadLength},
      {"the write's own answer", writeTwo, kWriteOfTwo, Verdict::Good},
      {"a read's answer to a write", writeTwo, kTwoWords, Verdict::BadLength},
      {"a rejection of this run, whatever its count", readThree, kRefused, Verdict::Rejected},
      {"a rejection of another run", writeTwo, Changed(kRefused, 9, 0x00), Verdict::Foreign},
      {"a damaged answer stays damaged", readThree, damaged, Verdict::BadChecksum},
  };
  for (const auto& c : cases) EXPECT_EQ(VerifyResponseTo(c.response, c.request).verdict, c.verdict) << c.what;
  EXPECT_EQ(ErrorCode({Verdict::Foreign}), 0x20010800u);
}
