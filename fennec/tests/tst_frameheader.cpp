#include <gtest/gtest.h>

#include <vector>

#include "Communication/FrameHeader.h"

using namespace fennec::framed;

namespace {

// Identifier 0x1279, request 2, fragment 3 of 5, reserved 0x04030201, result 0, status 0x8000,
// 1400 (0x0578) data bytes: worked out by hand.
const std::vector<std::uint8_t> kBytes{0x79, 0x12, 0x02, 0x00, 0x03, 0x00, 0x05, 0x00, 0x01,
                                       0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x80, 0x78, 0x05};
const FrameHeader kHeader{0x1279, 2, 3, 5, 0x04030201, 0, 0x8000, 1400};

}  // namespace

TEST(FrameHeader, EncodesAndDecodesTheWordsLowByteFirst) {
  const HeaderBytes encoded = EncodeHeader(kHeader);
  EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.end()), kBytes);
  EXPECT_EQ(DecodeHeader(std::span<const std::uint8_t, kHeaderSize>(kBytes.data(), kHeaderSize)), kHeader);
}

TEST(FrameHeader, AnswersAgainstTheirRequest) {
  const FrameHeader request{0x1279, 7, 2, 3, 0, 0, 0x8000, 10};
  struct Case {
    const char* what;
    FrameHeader answer;
    Verdict verdict;
    std::uint16_t value;
  };
  const auto with = [&](auto change) {
    FrameHeader answer = request;
    answer.dataLength = 0;
    answer.reserved = 0xFFFFFFFF;  // never compared
    change(answer);
    return answer;
  };
  for (const Case& c : std::vector<Case>{
           {"the same", with([](FrameHeader&) {}), Verdict::Accepted, 0},
           {"another result", with([](FrameHeader& a) { a.result = 1; }), Verdict::NotAccepted, 0},
           {"fetch announced", with([](FrameHeader& a) { a.status = 0x4000; }), Verdict::NotAccepted, 0},
           {"repeat", with([](FrameHeader& a) { a.status = 0x8002; }), Verdict::NotAccepted, 0},
           {"abort", with([](FrameHeader& a) { a.status = 0x8001; }), Verdict::ErrorAbort, 0x8001},
           {"identifier", with([](FrameHeader& a) { a.identifier = 0x1288; }), Verdict::WrongIdentifier, 0x1288},
           {"request number", with([](FrameHeader& a) { a.requestNumber = 6; }), Verdict::DifferentRequestNumber, 6},
           {"fragment", with([](FrameHeader& a) { a.fragmentNumber = 1; }), Verdict::DifferentFragmentNumber, 1},
           {"total", with([](FrameHeader& a) { a.totalFragments = 4; }), Verdict::DifferentTotal, 4},
           {"identifier before status", with([](FrameHeader& a) { a.identifier = a.status = 1; }),
            Verdict::WrongIdentifier, 1},
       }) {
    const AnswerCheck check = CheckAnswer(request, c.answer);
    EXPECT_EQ(check.verdict, c.verdict) << c.what;
    EXPECT_EQ(check.value, c.value) << c.what;
  }
}

TEST(FrameHeader, AnnouncedNumberNeedsSixDataBytes) {
  EXPECT_EQ(AnnouncedNumber(std::vector<std::uint8_t>{0, 0, 0, 0, 0x03, 0x01}), 0x0103);
  EXPECT_EQ(AnnouncedNumber(std::vector<std::uint8_t>{0, 0, 0, 0, 0x03}), std::nullopt);
  EXPECT_EQ(AnnouncedNumber({}), std::nullopt);
}
