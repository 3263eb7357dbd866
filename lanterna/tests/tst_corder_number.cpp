#include <gtest/gtest.h>

#include "base/OrderNumber.h"

using lanterna::COrderNumber;
using Form = COrderNumber::Form;

TEST(COrderNumber, PartsAreNormalisedToEitherWidth) {
  EXPECT_EQ(COrderNumber::Normalise("456", Form::FourDigit), "0456");
  EXPECT_EQ(COrderNumber::Normalise("0456", Form::ThreeDigit), "456");
  EXPECT_EQ(COrderNumber::Normalise("8", Form::FourDigit), "0008");
  EXPECT_EQ(COrderNumber::Normalise("0008", Form::ThreeDigit), "008");
  EXPECT_EQ(COrderNumber::Normalise("12345", Form::FourDigit), "12345");
}

TEST(COrderNumber, ZeroOptionPartsAreDropped) {
  const COrderNumber plain("123-456");
  EXPECT_EQ(plain, COrderNumber("0123-0456"));
  EXPECT_EQ(plain, COrderNumber("123-456/000-000"));
  EXPECT_EQ(plain.Text(), "0123-0456");
  EXPECT_EQ(plain.Text(Form::ThreeDigit), "123-456");
  EXPECT_EQ(plain.PartCount(), 2u);

  const COrderNumber option("123-456/000-001");
  EXPECT_FALSE(option == plain);
  EXPECT_EQ(option.PartCount(), 4u);
  EXPECT_EQ(option.Text(), "0123-0456");
  EXPECT_EQ(option.Part(3), "0001");

  EXPECT_EQ(COrderNumber("123-456/025-000").PartCount(), 4u);
}

TEST(COrderNumber, SeparatorRunsBlanksAndOddPartCounts) {
  EXPECT_EQ(COrderNumber(" 750 --/ 352 ").Text(), "0750-0352");
  EXPECT_EQ(COrderNumber("").Text(), "0000");
  EXPECT_EQ(COrderNumber("---").Text(), "0000");
  // Three parts get a fourth "0000"; with part 2 non-zero they all stay.
  const COrderNumber three("750-352-1");
  EXPECT_EQ(three.PartCount(), 4u);
  EXPECT_EQ(three.Part(2), "0001");
  EXPECT_EQ(COrderNumber("750-352-0").PartCount(), 2u);
  // Six parts with a non-zero option keep zero parts 2 and 3.
  EXPECT_EQ(COrderNumber("750-352/000-000/001-000").PartCount(), 6u);
  EXPECT_EQ(COrderNumber("750-352/000-000/000-000").PartCount(), 2u);
  // Five parts: a sixth is appended, then both zero pairs go.
  EXPECT_EQ(COrderNumber("750-352/0-0/0").PartCount(), 2u);
}

TEST(COrderNumber, ThreeDigitFormOfAControllerPart) {
  const COrderNumber pfc("750-8202");
  EXPECT_EQ(pfc.Part(1, Form::ThreeDigit), "8202");
  EXPECT_EQ(COrderNumber("750-841").Part(1, Form::ThreeDigit), "841");
  EXPECT_EQ(pfc.Part(5), "");
}
