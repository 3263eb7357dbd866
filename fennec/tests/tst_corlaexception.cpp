#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Common/OrlaException.h"

namespace {
class CDerivedException : public COrlaException {
 public:
  CDerivedException() : COrlaException("derived", 7) {}
};
}  // namespace

TEST(COrlaException, KeepsNumberAndText) {
  COrlaException e("Read() failed!", 4);
  EXPECT_EQ(e.m_nNumber, 4);
  EXPECT_STREQ(e.m_szText, "Read() failed!");
}

TEST(COrlaException, CutsLongTextAt1023Characters) {
  const std::string longText(5000, 'x');
  COrlaException e(longText.c_str(), 1);
  EXPECT_EQ(std::strlen(e.m_szText), 1023u);
  EXPECT_EQ(std::string(e.m_szText), longText.substr(0, 1023));

  const std::string exact(1023, 'y');
  COrlaException fits(exact.c_str(), 1);
  EXPECT_EQ(std::string(fits.m_szText), exact);
}

TEST(COrlaException, NullTextIsEmpty) {
  COrlaException e(nullptr, 0);
  EXPECT_STREQ(e.m_szText, "");
}

TEST(COrlaException, TypeNameIsTheRunTimeType) {
  COrlaException base("a", 1);
  EXPECT_STREQ(base.GetTypeName(), "COrlaException");
  CDerivedException derived;
  COrlaException& asBase = derived;
  EXPECT_NE(std::string(asBase.GetTypeName()).find("CDerivedException"), std::string::npos);
  EXPECT_EQ(asBase.GetTypeName(), asBase.m_szTypeName);
}

TEST(COrlaException, CopyIsWhole) {
  COrlaException original("copied", 9);
  COrlaException copy = original;
  EXPECT_EQ(copy.m_nNumber, 9);
  EXPECT_STREQ(copy.m_szText, "copied");
}
