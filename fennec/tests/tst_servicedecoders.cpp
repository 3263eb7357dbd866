#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ServiceDecoders.h"

using namespace fennec::service;
using Bytes = std::vector<std::uint8_t>;

TEST(DecodeStrings, EachStringIsExactlyItsLengthLong) {
  const Bytes result{2, 0, 3, 'a', 'b', 'x', '\0', 'z', 0xEE};
  const auto strings = DecodeStrings(result, 3);
  ASSERT_TRUE(strings.has_value());
  EXPECT_EQ(*strings, (std::vector<std::string>{"ab", "", std::string("x\0z", 3)}));
}

TEST(DecodeStrings, LengthsBeyondTheResultAreRefused) {
  EXPECT_FALSE(DecodeStrings(Bytes{3, 'a', 'b'}, 1).has_value());
  EXPECT_FALSE(DecodeStrings(Bytes{1}, 2).has_value());  // not even the lengths are there
  EXPECT_FALSE(DecodeStrings(Bytes{255, 255, 'a'}, 2).has_value());
  EXPECT_TRUE(DecodeStrings(Bytes{2, 'a', 'b'}, 1).has_value());
}

TEST(AppendTableInfo, EmptyListAndAllOrNothing) {
  std::vector<tFBCTable> tables{tFBCTable{1}};
  EXPECT_TRUE(AppendTableInfo(Bytes{0, 0}, tables));
  EXPECT_EQ(tables.size(), 1u);
  EXPECT_FALSE(AppendTableInfo(Bytes{2, 0, 0x40, 0x02}, tables));
  EXPECT_FALSE(AppendTableInfo(Bytes{1}, tables));
  EXPECT_EQ(tables.size(), 1u);
}

TEST(ParseInternalVariable, TokensAndFixedNames) {
  struct Case {
    std::uint16_t index;
    std::string text, name, value;
  };
  // A token of blanks is not empty: it still names the variable.
  for (const Case& c : {Case{9, ";;Host;;  fbc-01;rest", "Host", "fbc-01"},
                        Case{0, "  10.0.0.1", "", "10.0.0.1"},
                        Case{1, "10.0.0.1", "IP address;", "10.0.0.1"},
                        Case{3, ";;", "Gateway address;", ""},
                        Case{4, "lonely", "", ""},
                        Case{2, "   ;x", "", "x"}}) {
    std::string name = "stale", value = "stale";
    ParseInternalVariable(c.index, c.text, name, value);
    EXPECT_EQ(name, c.name) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(DecodeMonitorEntry, FieldsInTheirPlaces) {
  const Bytes result{0x78, 0x56, 0x34, 0x12, 0xCD, 0xAB, 0x05, 0x02, 0x04, 0x03, 0x02, 0x01};
  const auto entry = DecodeMonitorEntry(result);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->dwEventTick, 0x12345678u);
  EXPECT_EQ(entry->wCode, 0xABCD);
  EXPECT_EQ(entry->byArgument, 5);
  EXPECT_EQ(entry->byFlags, 2);
  EXPECT_EQ(entry->dwReferenceTick, 0x01020304u);
  EXPECT_FALSE(DecodeMonitorEntry(Bytes(11, 0)).has_value());
}
