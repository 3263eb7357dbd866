#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/NetworkPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

// The 32 bytes of a text field, low byte of each register first.
std::string FieldBytes(const std::vector<std::uint16_t>& table, std::size_t first) {
  std::string bytes;
  for (std::size_t i = first; i < first + 16; ++i) {
    bytes += static_cast<char>(table[i] & 0xFF);
    bytes += static_cast<char>(table[i] >> 8);
  }
  return bytes;
}

void PutField(std::vector<std::uint16_t>& table, std::size_t first, const std::string& bytes) {
  for (std::size_t i = 0; i < 16; ++i)
    table[first + i] = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                                  static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
}

}  // namespace

TEST(NetworkPage, TextsAreReadLowByteFirstUpToTheirZero) {
  std::vector<std::uint16_t> table(57, 0xFFFF);
  PutField(table, 25, std::string("coupler-7\0junk", 14) + std::string(18, '\0'));
  PutField(table, 41, std::string("plant.example") + std::string(19, '\0'));
  CNetworkPageModel page;
  Load(page, table, true);
  EXPECT_EQ(Text(page, "NETWORK.HostName"), "coupler-7");
  EXPECT_EQ(Text(page, "NETWORK.Domain"), "plant.example");
  EXPECT_EQ(table[25], 0x6F63);  // 'c', 'o'
}

TEST(NetworkPage, AWriteFillsTheFieldWithTheTextAndZeros) {
  std::vector<std::uint16_t> table(58, 0x4141);
  CNetworkPageModel page;
  Load(page, table, true);
  Set(page, "NETWORK.HostName", std::string(31, 'h'));
  Set(page, "NETWORK.Domain", "lab");
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(FieldBytes(table, 25), std::string(31, 'h') + '\0');
  EXPECT_EQ(FieldBytes(table, 41), std::string("lab") + std::string(29, '\0'));
  EXPECT_EQ(table[24], 0x4141);
  EXPECT_EQ(table[57], 0x4141);
}

TEST(NetworkPage, AFieldWithoutAZeroIsReadWithin32BytesAndCutTo31) {
  std::vector<std::uint16_t> table(57, 0x6161);  // "aa..." everywhere, no zero byte in either field
  CNetworkPageModel page;
  Load(page, table, true);
  EXPECT_EQ(Text(page, "NETWORK.HostName"), std::string(32, 'a'));
  EXPECT_FALSE(page.CommitSettings());
  EXPECT_EQ(FieldBytes(table, 25), std::string(31, 'a') + '\0');
}

TEST(NetworkPage, MoreThan31CharactersAreRefused) {
  CNetworkPageModel page;
  const auto failure = Parameter(page, "NETWORK.HostName").SetText(std::string(32, 'x'));
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->message, "Please enter no more than 31 characters.");
  EXPECT_TRUE(Parameter(page, "NETWORK.Domain").SetText(std::string("a\0b", 3)));
  EXPECT_EQ(Text(page, "NETWORK.HostName"), "");
}

// Texts written as they are read: zero-terminated and zero to the end of their field. A
// field holding bytes after its zero, or none, comes back changed (tested above).
TEST(NetworkPage, ReadThenCommitKeepsEveryRegister) {
  ExpectReadThenCommitKeepsImages<CNetworkPageModel>(
      [](std::mt19937& random) {
        auto table = RandomWords(random, 57 + random() % 30);
        for (const std::size_t first : {25u, 41u}) {
          std::string bytes(32, '\0');
          const std::size_t length = random() % 32;
          for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(1 + random() % 255);
          PutField(table, first, bytes);
        }
        return table;
      },
      true, false);
}
