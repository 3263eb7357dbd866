#include <gtest/gtest.h>

#include "ModelFixture.h"

using simtest::Bytes;
using simtest::Words;
using namespace std::chrono_literals;

using RegisterAccess = ModelFixture;

TEST_F(RegisterAccess, Table124ReadIsAnsweredWithTheTableSize) {
  PowerUp("fbc32");
  const auto answer = client.Exchange(Bytes{0xFD, 0x02, 0x0C, 0x00, 0x00, 0x01, 0x52, 0x00, 0x7C, 0x00, 0xDA, 0x01});
  EXPECT_EQ(answer, (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x7C, 0x00, 0x16, 0x00, 0x12, 0x02}));

  const simtest::Reply table = client.Read(124, 0, 11);
  ASSERT_TRUE(table.Good());
  std::uint16_t sum = 0;
  for (const std::uint16_t word : table.words) sum = static_cast<std::uint16_t>(sum + word);
  EXPECT_EQ(sum, 0) << "word 1 must make the table sum 0";
  EXPECT_EQ(table.words[8], 0) << "the extended protocol is not offered";
}

TEST_F(RegisterAccess, OlderDevicesHaveNoTable124) {
  PowerUp("fbc16");
  EXPECT_EQ(client.Read(124, 0, 1).rejection, 0x8200);
}

TEST_F(RegisterAccess, RunsOutsideATableAreRejected) {
  PowerUp("fbc32");
  EXPECT_TRUE(client.Read(0, 30, 2).Good());
  EXPECT_EQ(client.Read(0, 31, 2).rejection, 0x8215);
  EXPECT_EQ(client.Read(0, 255, 1).rejection, 0x8215);
  EXPECT_EQ(client.Read(5, 0, 1).rejection, 0x8200);
  EXPECT_EQ(simtest::ParseAnswer(client.Exchange(simtest::ReadRequest(0, 0, 1, 3))).rejection, 0x8300)
      << "modules behind the coupler have no register tables here";
  // A read of 0 registers (the library never sends one): rejected, not answered with nothing.
  EXPECT_EQ(simtest::ParseAnswer(client.Exchange(simtest::WithChecksum({0xFD, 0x02, 12, 0, 0, 0, 'R', 0, 0, 0}))).rejection,
            0x8216);
}

TEST_F(RegisterAccess, FullFragmentsOf44WordsAreServed) {
  PowerUp("fbc32");
  // Fragments of 44, 44 and 12 words of table 100 with 80 registers: the third is 8 short.
  EXPECT_TRUE(client.Read(100, 0, 44).Good());
  EXPECT_EQ(client.Read(100, 44, 44).rejection, 0x8215);
  EXPECT_EQ(client.Read(100, 44, 36).words.size(), 36u);
}

TEST_F(RegisterAccess, DamagedRequestsGetNoAnswerAndChangeNothing) {
  PowerUp("fbc32");
  ASSERT_TRUE(client.EnableWriting());
  Bytes write = simtest::WriteRequest(100, 9, {0x1234});
  write.back() ^= 0x01;
  EXPECT_EQ(client.Exchange(write), std::nullopt);
  EXPECT_EQ(client.Read(100, 9, 1).words, Words{0xA8C0});
}

using WriteProtection = ModelFixture;

TEST_F(WriteProtection, ParameterTablesTakeWritesOnlyAfterEnableParamWriting) {
  PowerUp("fbc32");
  const Bytes write{0xFD, 0x02, 0x0E, 0x00, 0x00, 0x01, 0x52, 0x00, 0xE4, 0x09, 0x34, 0x12, 0x93, 0x02};
  EXPECT_EQ(client.Exchange(write),
            (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0xE4, 0x09, 0x02, 0x82, 0xF1, 0x02}));

  // EnableParamWriting(true): the words 0x0101, 0x0001, 0x6E1B to table 99, then 3 words back.
  EXPECT_EQ(client.Exchange(Bytes{0xFD, 0x02, 0x12, 0x00, 0x00, 0x03, 0x52, 0x00, 0xE3, 0x00, 0x01, 0x01, 0x01,
                                  0x00, 0x1B, 0x6E, 0xD5, 0x02}),
            (Bytes{0x02, 0xFD, 0x0C, 0x00, 0x00, 0x03, 0x72, 0x00, 0x63, 0x00, 0xE3, 0x01}));
  EXPECT_EQ(client.Exchange(Bytes{0xFD, 0x02, 0x0C, 0x00, 0x00, 0x03, 0x52, 0x00, 0x63, 0x00, 0xC3, 0x01}),
            (Bytes{0x02, 0xFD, 0x12, 0x00, 0x00, 0x03, 0x72, 0x00, 0x63, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00,
                   0xEC, 0x01}));

  EXPECT_EQ(client.Exchange(write), (Bytes{0x02, 0xFD, 0x0C, 0x00, 0x00, 0x01, 0x72, 0x00, 0x64, 0x09, 0xEB, 0x01}));
  EXPECT_EQ(client.Read(100, 9, 1).words, Words{0x1234});
  EXPECT_TRUE(client.Write(0, 26, {0x0011}).Good());

  EXPECT_EQ(client.Service(1, 1, {0}, 0).status, 0);
  EXPECT_EQ(client.Write(100, 9, {0x5678}).rejection, 0x8202);
  EXPECT_EQ(client.Read(100, 9, 1).words, Words{0x1234});
}

TEST_F(WriteProtection, OnlyTheEnableWordEnables) {
  PowerUp("fbc32");
  EXPECT_EQ(client.Service(1, 1, {0x6E1A}, 0).status, 0x8213);
  EXPECT_EQ(client.Service(1, 1, {0x0001}, 0).status, 0x8213);
  EXPECT_EQ(client.Write(100, 9, {0x5678}).rejection, 0x8202);
}

TEST_F(WriteProtection, TablesTheDeviceFillsItselfStayReadOnly) {
  PowerUp("fbc32");
  ASSERT_TRUE(client.EnableWriting());
  EXPECT_EQ(client.Write(124, 8, {1}).rejection, 0x821C);
  EXPECT_EQ(client.Write(127, 1, {2}).rejection, 0x821C);
}

using ServiceTable = ModelFixture;

TEST_F(ServiceTable, ResponseBlockRepeatsTheRequestAndCountsStatusPlusResults) {
  PowerUp("fbc32");
  const simtest::ServiceReply baud = client.Service(1, 9, {}, 2);
  EXPECT_EQ(baud.word0, 0x0901);
  EXPECT_EQ(baud.count, 3);
  EXPECT_EQ(baud.status, 0);
  EXPECT_EQ(baud.results, (Words{10, 7}));  // 10 x 10^7: 100 Mbit/s
}

TEST_F(ServiceTable, UnknownServicesAndWrongArgumentCounts) {
  PowerUp("fbc32");
  EXPECT_EQ(client.Service(1, 99).status, 0x8212);
  EXPECT_EQ(client.Service(4, 1).status, 0x8212);
  EXPECT_EQ(client.Service(1, 8, {0}).status, 0x8210);
  EXPECT_EQ(client.Service(1, 23, {1, 2}).status, 0x8210);
  // A request block that claims more argument words than it carries.
  ASSERT_TRUE(client.Write(99, 0, {0x0801, 3}).Good());
  EXPECT_EQ(client.Read(99, 0, 3).words, (Words{0x0801, 1, 0x8210}));
}

TEST_F(ServiceTable, IdentityTextsComeAsLengthBytesThenTexts) {
  PowerUp("fbc32");
  const simtest::ServiceReply identity = client.Service(1, 8);
  ASSERT_EQ(identity.status, 0);
  // Lengths 7, 20, 2, 12 in bytes 0-3, then 41 characters: 23 result words.
  EXPECT_EQ(identity.count, 24);
  EXPECT_EQ(identity.results[0], 0x1407);
  EXPECT_EQ(identity.results[1], 0x0C02);
  EXPECT_EQ(simtest::UnpackTexts(identity.results, 4),
            (std::vector<std::string>{"716-341", "ETHERNET FBC 100MBIT", "03", "01.07.12(09)"}));

  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 12).results, 2),
            (std::vector<std::string>{"MAC-ID", "02:4F:52:10:34:11"}));
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 13).results, 1), std::vector<std::string>{"0716341-21C4-000117"});
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 18).results, 1), std::vector<std::string>{"01.02.05"});
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 20).results, 2),
            (std::vector<std::string>{"2023-05-17", "PSN 0716-0341-09"}));
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 16).results, 2), (std::vector<std::string>{"PM 2023/20", "QS 4471"}));
}

TEST_F(ServiceTable, OneProfileReportsANetworkIdentityOtherThanMacId) {
  PowerUp("fbcnode");
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 12).results, 2), (std::vector<std::string>{"NODE-ID", "0x1F"}));
}

TEST_F(ServiceTable, TableInfoDescribesEveryTable) {
  PowerUp("fbc32");
  const simtest::ServiceReply info = client.Service(1, 19);
  ASSERT_EQ(info.status, 0);
  // Table number in bits 9-15, registers in 0-8: 0/32, 99/44, 100/80, 124/11, 127/2.
  EXPECT_EQ(info.results, (Words{5, 0x0020, 0xC62C, 0xC850, 0xF80B, 0xFE02}));
}

// The probe a client runs on a coupler without the table-info service: register 0 of every
// table, then register 255, then pairs until a pair fails.
TEST_F(ServiceTable, OldCouplerAnswersTheTableProbe) {
  PowerUp("fbcold");
  ASSERT_EQ(client.Service(1, 19).status, 0x8212);
  Words found;
  for (unsigned table = 0; table < 128; ++table) {
    const auto t = static_cast<std::uint8_t>(table);
    const simtest::Reply first = client.Read(t, 0, 1);
    if (first.rejection == 0x8200) continue;
    ASSERT_TRUE(first.Good()) << "table " << table;
    unsigned registers = 256;
    if (!client.Read(t, 255, 1).Good()) {
      registers = 0;
      while (registers < 256 && client.Read(t, static_cast<std::uint8_t>(registers), 2).Good()) registers += 2;
    }
    found.push_back(static_cast<std::uint16_t>((table << 9) | registers));
  }
  EXPECT_EQ(found, (Words{0x0020, 0xC62C, 0xC808, 0xFE02}));
}

TEST_F(ServiceTable, AddressSwitchInItsNewAndItsOldForm) {
  PowerUp("fbcold");
  EXPECT_EQ(client.Service(1, 7, {}, 1).status, 0x8212);
  const simtest::ServiceReply old = client.Service(0, 255, {}, 1);
  EXPECT_EQ(old.word0, 0xFF00);
  EXPECT_EQ(old.results, Words{21});

  PowerUp("fbc32");
  EXPECT_EQ(client.Service(1, 7, {}, 1).results, Words{17});
}

TEST_F(ServiceTable, InternalVariablesEndWith8213) {
  PowerUp("fbc16");
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 17, {1}).results, 1), std::vector<std::string>{"IP address;192.168.1.18"});
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 17, {2}).results, 1), std::vector<std::string>{"Subnet mask;255.255.255.0"});
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 17, {3}).results, 1), std::vector<std::string>{"Gateway address;192.168.1.1"});
  EXPECT_EQ(client.Service(1, 17, {4}).status, 0x8213);

  PowerUp("fbcold");
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 17, {1}).results, 1), std::vector<std::string>{"10.0.0.21"});
}

TEST_F(ServiceTable, InternalVariablesOfThe32BitGenerationFollowTable100) {
  PowerUp("fbc32");
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 17, {1}).results, 1), std::vector<std::string>{"IP address;192.168.1.17"});
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_TRUE(client.Write(100, 9, {0x010A, 0x0302}).Good());  // 10.1.2.3
  EXPECT_EQ(simtest::UnpackTexts(client.Service(1, 17, {1}).results, 1), std::vector<std::string>{"IP address;10.1.2.3"});
}

TEST_F(ServiceTable, ParameterChecksumIsTheWordSumOfTables0And100) {
  PowerUp("fbc32");
  std::uint16_t sum = 0;
  for (const auto& [table, first, count] : {std::tuple{0, 0, 32}, {100, 0, 44}, {100, 44, 36}})
    for (const std::uint16_t word : client.Read(static_cast<std::uint8_t>(table), static_cast<std::uint8_t>(first),
                                                static_cast<std::uint8_t>(count)).words)
      sum = static_cast<std::uint16_t>(sum + word);
  EXPECT_EQ(client.Service(1, 3, {}, 1).results, Words{sum});
}

TEST_F(ServiceTable, SwitchServicesTakeOnlyBoolWords) {
  PowerUp("fbc32");
  EXPECT_EQ(client.Service(1, 10, {1}, 0).status, 0);
  EXPECT_EQ(client.Service(1, 11, {2}, 0).status, 0x8213);
  EXPECT_EQ(client.Service(1, 32, {1, 3, 2}, 0).status, 0);
  const auto& state = model->StateAt(now);
  EXPECT_TRUE(state.switches.monitorMode);
  EXPECT_FALSE(state.switches.controlMode);
  EXPECT_EQ(state.switches.paramSequence, (std::array<std::uint16_t, 3>{1, 3, 2}));
}
