#include <gtest/gtest.h>

#include "base/Ipv4Address.h"
#include "pages/NumberText.h"

using namespace lanterna;

TEST(GenStrToNumber, ReadsAsAStreamDoesAndStopsAtTheFirstForeignCharacter) {
  EXPECT_EQ(GenStrToNumber("", 10), 0);
  EXPECT_EQ(GenStrToNumber("", 16), 0);
  EXPECT_EQ(GenStrToNumber("12abc", 10), 12);
  EXPECT_EQ(GenStrToNumber("  \t42", 10), 42);
  EXPECT_EQ(GenStrToNumber("-17", 10), -17);
  EXPECT_EQ(GenStrToNumber("+5", 10), 5);
  EXPECT_EQ(GenStrToNumber("0x10", 10), 0);  // decimal stops at the x
  EXPECT_EQ(GenStrToNumber("ffff", 16), 0xFFFF);
  EXPECT_EQ(GenStrToNumber("0XfF", 16), 0xFF);
  EXPECT_EQ(GenStrToNumber("0x1G", 16), 1);
  EXPECT_EQ(GenStrToNumber("-0x10", 16), -16);
  EXPECT_EQ(GenStrToNumber("2147483647", 10), 2147483647);
  EXPECT_EQ(GenStrToNumber("-2147483648", 10), -2147483647 - 1);
  EXPECT_EQ(GenStrToNumber("7FFFFFFF", 16), 0x7FFFFFFF);
}

TEST(GenStrToNumber, NoDigitOrOverflowGivesNoValue) {
  EXPECT_EQ(GenStrToNumber("G1", 16), std::nullopt);
  EXPECT_EQ(GenStrToNumber("abc", 10), std::nullopt);
  EXPECT_EQ(GenStrToNumber("0x", 16), std::nullopt);
  EXPECT_EQ(GenStrToNumber(" ", 10), std::nullopt);
  EXPECT_EQ(GenStrToNumber("-", 10), std::nullopt);
  EXPECT_EQ(GenStrToNumber("2147483648", 10), std::nullopt);
  EXPECT_EQ(GenStrToNumber("-2147483649", 10), std::nullopt);
  EXPECT_EQ(GenStrToNumber("80000000", 16), std::nullopt);
}

TEST(ParseEditText, HexadecimalForTypesOneAndTwoAndZeroForABarePrefix) {
  EXPECT_EQ(ParseEditText("0x", kTypeHexWord), 0);
  EXPECT_EQ(ParseEditText("0x1G", kTypeHexWord), 1);
  EXPECT_EQ(ParseEditText("10", kTypeHexDoubleWord), 16);
  EXPECT_EQ(ParseEditText("10", kTypeDecimalWord), 10);
  EXPECT_EQ(ParseEditText("10", 3), 10);  // any other code is decimal
  EXPECT_EQ(ParseEditText("", kTypeDecimalWord), 0);
  EXPECT_EQ(ParseEditText("G1", kTypeHexWord), std::nullopt);
  EXPECT_EQ(ParseEditText(" 0x", kTypeHexWord), std::nullopt);  // only exactly "0x" counts as 0
  EXPECT_EQ(ParseEditText("x1", kTypeDecimalWord), std::nullopt);
}

TEST(RangeMessage, HexadecimalFormBelowTypeThree) {
  EXPECT_EQ(RangeMessage(kTypeHexWord, 0, 0xFFFF), "Please enter a hexadecimal value between 0x0000 and 0xFFFF.");
  EXPECT_EQ(RangeMessage(kTypeHexDoubleWord, 0x10, 0x1FFFF),
            "Please enter a hexadecimal value between 0x0010 and 0x1FFFF.");
  EXPECT_EQ(RangeMessage(kTypeDecimalWord, 0, 65535), "Please enter a value between 0 and 65535.");
  EXPECT_EQ(RangeMessage(3, -5, 12), "Please enter a value between -5 and 12.");
}

TEST(EditText, MasksInHexadecimalOthersInDecimal) {
  EXPECT_EQ(EditText(kTypeHexWord, 0xAB), "0x00AB");
  EXPECT_EQ(EditText(kTypeHexWord, 0xFFFF), "0xFFFF");
  EXPECT_EQ(EditText(kTypeDecimalWord, 600), "600");
  EXPECT_EQ(EditText(kTypeDecimalWord, -3), "-3");
}

TEST(Ipv4Address, RegisterPairSwapsTheBytesOfEachHalf) {
  std::vector<std::uint16_t> table(4, 0xEEEE);
  WriteAddressPair(table, 1, 0xC0A8016F);  // 192.168.1.111
  EXPECT_EQ(table, (std::vector<std::uint16_t>{0xEEEE, 0xA8C0, 0x6F01, 0xEEEE}));
  EXPECT_EQ(ReadAddressPair(table, 1), 0xC0A8016Fu);
}

TEST(Ipv4Address, DottedConversionTakesTheLowByteOfEachField) {
  EXPECT_EQ(DottedToAddress("192.168.1.111"), 0xC0A8016Fu);
  EXPECT_EQ(DottedToAddress("10:0.0:1"), 0x0A000001u);  // ':' separates as '.' does
  EXPECT_EQ(DottedToAddress("1.2.3"), 0x00010203u);       // three fields fill the low three bytes
  EXPECT_EQ(DottedToAddress("1.300.x.4"), 0x012C0004u);   // 300 keeps its low 8 bits, "x" reads as 0
  EXPECT_EQ(DottedToAddress(""), 0u);
  EXPECT_EQ(DottedToAddress("9.1.2.3.4"), 0x01020304u);   // the first of five fields falls out
}

TEST(Ipv4Address, FieldTextAcceptsOnlyFourNumbersUpTo255) {
  EXPECT_EQ(AddressToDotted(0xC0A8016F), "192.168.1.111");
  EXPECT_EQ(ParseAddress("192.168.1.111"), 0xC0A8016Fu);
  EXPECT_EQ(ParseAddress("0.0.0.0"), 0u);
  EXPECT_EQ(ParseAddress("255.255.255.255"), 0xFFFFFFFFu);
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.4 ", "a.b.c.d", "-1.2.3.4",
                          "1.2.3.0004", "10.1.2.3x"})
    EXPECT_EQ(ParseAddress(bad), std::nullopt) << bad;
}
