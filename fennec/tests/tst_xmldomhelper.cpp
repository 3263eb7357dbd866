#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Common/ComError.h"
#include "Common/GenStrToNumber.h"
#include "Common/XMLDOMHelper.h"

namespace {

std::string FailureOf(const std::string& text) {
  try {
    GenStrToNumber(text);
  } catch (const std::string& failure) {
    return failure;
  }
  return "<no failure>";
}

}  // namespace

TEST(GenStrToNumber, ReadsHexadecimalAfterThePrefixAndDecimalOtherwise) {
  EXPECT_EQ(GenStrToNumber("0x1F"), 31);
  EXPECT_EQ(GenStrToNumber("0X4B00"), 19200);
  EXPECT_EQ(GenStrToNumber("0xFFFFFFFF"), 0xFFFFFFFF);
  EXPECT_EQ(GenStrToNumber("19200"), 19200);
  EXPECT_EQ(GenStrToNumber("  42"), 42);
  EXPECT_EQ(GenStrToNumber("12abc"), 12);
  EXPECT_EQ(GenStrToNumber(""), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(GenStrToNumber("-1")), 0xFFFFFFFFu);
  EXPECT_EQ(static_cast<std::uint16_t>(GenStrToNumber("-1")), 0xFFFFu);
}

TEST(GenStrToNumber, ThrowsTheTextWhenNothingCanBeRead) {
  EXPECT_EQ(FailureOf("abc"), "GenStrToNumber failed: 'abc'");
  EXPECT_EQ(FailureOf("0x"), "GenStrToNumber failed: '0x'");
  EXPECT_EQ(FailureOf("0xZZ"), "GenStrToNumber failed: '0xZZ'");
  EXPECT_EQ(FailureOf("0x-1"), "GenStrToNumber failed: '0x-1'");
  EXPECT_EQ(FailureOf("   "), "GenStrToNumber failed: '   '");
}

TEST(GenStrToNumber, RefusesNumbersBeyond32BitsInsteadOfCuttingThem) {
  EXPECT_EQ(FailureOf("0x100000000"), "GenStrToNumber failed: '0x100000000'");
  EXPECT_EQ(FailureOf("4294967296"), "GenStrToNumber failed: '4294967296'");
  EXPECT_EQ(FailureOf("-2147483649"), "GenStrToNumber failed: '-2147483649'");
  EXPECT_EQ(FailureOf("99999999999999999999999"), "GenStrToNumber failed: '99999999999999999999999'");
  EXPECT_EQ(GenStrToNumber("4294967295"), 4294967295);
  EXPECT_EQ(GenStrToNumber("-2147483648"), -2147483648LL);
}

TEST(CXMLDOMHelper, LoadsOnlyWellFormedText) {
  CXMLDOMHelper document;
  EXPECT_TRUE(document.LoadByString("<?xml version='1.0'?> <RS232 timeout='500'/>"));
  EXPECT_FALSE(document.LoadByString("<RS232 timeout='500'"));
  EXPECT_FALSE(document.LoadByString(""));
}

TEST(CXMLDOMHelper, FindsTheFirstElementOfANameAnywhere) {
  CXMLDOMHelper document;
  ASSERT_TRUE(document.LoadByString(
      "<root><other/><deep><RS232 device='COM3'/></deep><RS232 device='COM4'/></root>"));
  const CXMLElement element = document.SelectSingleElement("RS232");
  ASSERT_FALSE(element.IsNull());
  EXPECT_EQ(element.GetAttribute("device").value_or(""), "COM3");
  EXPECT_TRUE(document.SelectSingleElement("TCPIP").IsNull());
  EXPECT_TRUE(document.SelectSingleElement("rs232").IsNull());
}

TEST(CXMLDOMHelper, TellsAbsentAttributesFromEmptyOnes) {
  CXMLDOMHelper document;
  ASSERT_TRUE(document.LoadByString("<RS232 parity=''/>"));
  const CXMLElement element = document.SelectSingleElement("RS232");
  EXPECT_EQ(element.GetAttribute("parity"), std::optional<std::string>(""));
  EXPECT_EQ(element.GetAttribute("device"), std::nullopt);
  EXPECT_EQ(ReadTextAttribute(element, "parity", "even"), "");
  EXPECT_EQ(ReadTextAttribute(element, "device", "COM1"), "COM1");
}

TEST(AttributeReaders, ParseNumbersAndCutThemToTheFieldWidth) {
  CXMLDOMHelper document;
  ASSERT_TRUE(document.LoadByString(
      "<X baud='0x4B00' neg='-1' wide='70000' corr='-3' bad='abc'/>"));
  const CXMLElement e = document.SelectSingleElement("X");
  EXPECT_EQ(ReadUInt32Attribute(e, "baud", 1), 19200u);
  EXPECT_EQ(ReadUInt32Attribute(e, "neg", 1), 0xFFFFFFFFu);
  EXPECT_EQ(ReadUInt32Attribute(e, "absent", 77), 77u);
  EXPECT_EQ(ReadUInt16Attribute(e, "wide", 1), static_cast<std::uint16_t>(70000 & 0xFFFF));
  EXPECT_EQ(ReadInt16Attribute(e, "corr", 0), -3);
  EXPECT_EQ(ReadInt16Attribute(e, "absent", -5), -5);
  EXPECT_THROW(ReadUInt32Attribute(e, "bad", 1), std::string);
}

TEST(AttributeReaders, BooleansAcceptTrueAndFalseInAnyCaseOnly) {
  CXMLDOMHelper document;
  ASSERT_TRUE(document.LoadByString("<X a='FALSE' b='True' c='yes' d='1'/>"));
  const CXMLElement e = document.SelectSingleElement("X");
  EXPECT_FALSE(ReadBoolAttribute(e, "a", true));
  EXPECT_TRUE(ReadBoolAttribute(e, "b", false));
  EXPECT_TRUE(ReadBoolAttribute(e, "c", true));
  EXPECT_FALSE(ReadBoolAttribute(e, "c", false));
  EXPECT_FALSE(ReadBoolAttribute(e, "d", false));
  EXPECT_TRUE(ReadBoolAttribute(e, "absent", true));
}

TEST(AttributeReaders, ANullElementThrowsTheInvalidPointerResult) {
  const CXMLElement missing;
  try {
    ReadTextAttribute(missing, "device", "COM1");
    FAIL() << "no exception";
  } catch (const CComError& error) {
    EXPECT_EQ(error.Error(), 0x80004003u);
  }
  EXPECT_THROW(ReadBoolAttribute(missing, "x", false), CComError);
  EXPECT_THROW(ReadUInt32Attribute(missing, "x", 0), CComError);
}
