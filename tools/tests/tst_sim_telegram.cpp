#include <gtest/gtest.h>

#include "DeviceTelegram.h"
#include "LinePacing.h"
#include "RequestAssembler.h"
#include "SimTestClient.h"

using namespace fennec::sim;
using simtest::Bytes;
using simtest::kRead124;

namespace {

// Two words 0x1111, 0x2222 to table 5 from register 3: length 16, table byte 0x85, sum 0x0251.
const Bytes kWrite5{0xFD, 0x02, 0x10, 0x00, 0x00, 0x02, 0x52, 0x00, 0x85, 0x03, 0x11, 0x11, 0x22, 0x22, 0x51, 0x02};

}  // namespace

TEST(DeviceTelegramParse, ReadOfTable124) {
  const ParsedRequest parsed = ParseRequest(kRead124);
  ASSERT_EQ(parsed.fault, RequestFault::None);
  EXPECT_FALSE(parsed.request.write);
  EXPECT_EQ(parsed.request.table, 124);
  EXPECT_EQ(parsed.request.firstRegister, 0);
  EXPECT_EQ(parsed.request.count, 1);
  EXPECT_EQ(parsed.request.device, 0);
}

TEST(DeviceTelegramParse, WriteFlagInTheTableByte) {
  const ParsedRequest parsed = ParseRequest(kWrite5);
  ASSERT_EQ(parsed.fault, RequestFault::None);
  EXPECT_TRUE(parsed.request.write);
  EXPECT_EQ(parsed.request.table, 5);
  EXPECT_EQ(parsed.request.firstRegister, 3);
  EXPECT_EQ(parsed.request.words, (std::vector<std::uint16_t>{0x1111, 0x2222}));
}

TEST(DeviceTelegramParse, DamagedRequestsAreRecognised) {
  Bytes checksum = kRead124;
  checksum[11] = 0x02;
  EXPECT_EQ(ParseRequest(checksum).fault, RequestFault::Checksum);

  Bytes lengthByte = kRead124;
  lengthByte[2] = 13;
  EXPECT_EQ(ParseRequest(lengthByte).fault, RequestFault::Length);
  EXPECT_EQ(ParseRequest(Bytes(kRead124.begin(), kRead124.begin() + 11)).fault, RequestFault::Length);
  EXPECT_EQ(ParseRequest(Bytes(101, 0xFD)).fault, RequestFault::Length);

  // Identifier 'X' instead of 'R'; sum 0x01E0.
  EXPECT_EQ(ParseRequest(Bytes{0xFD, 0x02, 0x0C, 0, 0, 0x01, 0x58, 0, 0x7C, 0, 0xE0, 0x01}).fault,
            RequestFault::NotRegisterTelegram);
  // The answer's start bytes: another device's answer, not a request.
  EXPECT_EQ(ParseRequest(Bytes{0x02, 0xFD, 0x0C, 0, 0, 0x01, 0x52, 0, 0x7C, 0, 0xDA, 0x01}).fault,
            RequestFault::NotRegisterTelegram);
}

TEST(DeviceTelegramParse, RegisterCountMustFitTheLength) {
  // A read of 0 registers (sum 0x01D9) and of 45 (sum 0x0206).
  EXPECT_EQ(ParseRequest(Bytes{0xFD, 0x02, 0x0C, 0, 0, 0x00, 0x52, 0, 0x7C, 0, 0xD9, 0x01}).fault, RequestFault::Count);
  EXPECT_EQ(ParseRequest(Bytes{0xFD, 0x02, 0x0C, 0, 0, 0x2D, 0x52, 0, 0x7C, 0, 0x06, 0x02}).fault, RequestFault::Count);
  // A write that claims 3 words but carries 2 (sum 0x0252).
  Bytes shortWrite = kWrite5;
  shortWrite[5] = 0x03;
  shortWrite[14] = 0x52;
  EXPECT_EQ(ParseRequest(shortWrite).fault, RequestFault::Count);
  EXPECT_EQ(ParseRequest(shortWrite).request.table, 5);
}

TEST(DeviceTelegramBuild, AnswersCarryTheLowerCaseIdentifierAndTheirChecksum) {
  RegisterRequest read124;
  read124.table = 124;
  read124.count = 1;
  const std::vector<std::uint16_t> tableSize{22};
  EXPECT_EQ(BuildReadAnswer(read124, tableSize),
            (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x7C, 0x00, 0x16, 0x00, 0x12, 0x02}));

  RegisterRequest write100;
  write100.table = 100;
  write100.firstRegister = 9;
  write100.count = 1;
  write100.write = true;
  // The write flag never comes back: in an answer that bit means a rejection.
  EXPECT_EQ(BuildWriteAnswer(write100), (Bytes{0x02, 0xFD, 0x0C, 0x00, 0x00, 0x01, 0x72, 0x00, 0x64, 0x09, 0xEB, 0x01}));
  EXPECT_EQ(BuildRejection(write100, 0x8202),
            (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0xE4, 0x09, 0x02, 0x82, 0xF1, 0x02}));
}

TEST(DeviceTelegramBuild, MessageIdentAndMultipointAddressAreRepeated) {
  const ParsedRequest parsed = ParseRequest(Bytes{0xFD, 0x02, 0x0C, 0x05, 0x07, 0x01, 0x52, 0x00, 0x00, 0x00, 0x6A, 0x01});
  ASSERT_EQ(parsed.fault, RequestFault::None);
  const std::vector<std::uint16_t> zero{0};
  EXPECT_EQ(BuildReadAnswer(parsed.request, zero),
            (Bytes{0x02, 0xFD, 0x0E, 0x05, 0x07, 0x01, 0x72, 0x00, 0x00, 0x00, 0x00, 0x00, 0x8C, 0x01}));
}

TEST(RequestAssembler, FindsTheStartBehindGarbageAndFalseStarts) {
  RequestAssembler assembler;
  // FD 02 with length 200 cannot start a telegram.
  Bytes stream{0x00, 0xFF, 0xFD, 0x00, 0xFD, 0x02, 0xC8, 0x13};
  stream.insert(stream.end(), kRead124.begin(), kRead124.end());
  stream.insert(stream.end(), kWrite5.begin(), kWrite5.end());
  assembler.Feed(stream);
  EXPECT_EQ(assembler.Next(), kRead124);
  EXPECT_EQ(assembler.Next(), kWrite5);
  EXPECT_EQ(assembler.Next(), std::nullopt);
  EXPECT_FALSE(assembler.HasPartial());
}

TEST(RequestAssembler, ByteByByteTheTelegramComesWithItsLastByte) {
  RequestAssembler assembler;
  for (std::size_t i = 0; i + 1 < kWrite5.size(); ++i) {
    assembler.Feed(std::span(kWrite5).subspan(i, 1));
    ASSERT_EQ(assembler.Next(), std::nullopt) << "after byte " << i;
    EXPECT_TRUE(assembler.HasPartial());
  }
  assembler.Feed(std::span(kWrite5).last(1));
  EXPECT_EQ(assembler.Next(), kWrite5);
}

TEST(RequestAssembler, ATornTelegramIsGivenUpAndTheNextOneIsWhole) {
  RequestAssembler assembler;
  assembler.Feed(std::span(kWrite5).first(7));
  EXPECT_EQ(assembler.Next(), std::nullopt);
  EXPECT_EQ(assembler.DiscardPartial(), 7u);
  assembler.Feed(kRead124);
  EXPECT_EQ(assembler.Next(), kRead124);
}

TEST(LinePacing, ElevenBitTimesPerByte) {
  using std::chrono::nanoseconds;
  // 12 bytes at 9600 baud: 132 bits, 13.75 ms.
  EXPECT_EQ(WireTime(12, 9600), nanoseconds(13'750'000));
  // One byte at 19200 baud: 572916.67 ns, rounded up.
  EXPECT_EQ(WireTime(1, 19200), nanoseconds(572'917));
  EXPECT_EQ(WireTime(100, 0), nanoseconds(0));

  EXPECT_EQ(BytesDue(nanoseconds(13'750'000), 9600, 100), 12u);
  EXPECT_EQ(BytesDue(nanoseconds(13'749'999), 9600, 100), 11u);
  EXPECT_EQ(BytesDue(std::chrono::seconds(1), 9600, 5), 5u);
  EXPECT_EQ(BytesDue(nanoseconds(0), 9600, 5), 0u);
  EXPECT_EQ(BytesDue(nanoseconds(0), 0, 5), 5u);
}
