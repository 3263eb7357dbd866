#include <gtest/gtest.h>

#include "FaultInjection.h"
#include "ModelFixture.h"

using namespace fennec::sim;
using simtest::Bytes;
using simtest::kAnswer124;
using simtest::kRead124;
using simtest::Words;

TEST(Rejections, ARangeRuleStrikesEveryRunThatTouchesIt) {
  Rejections rules;
  rules.ranges.push_back({100, 10, 20, 0x8201});
  EXPECT_EQ(rules.ForRun(100, 5, 5), std::nullopt);  // 5..9
  EXPECT_EQ(rules.ForRun(100, 5, 6), 0x8201);        // 5..10
  EXPECT_EQ(rules.ForRun(100, 20, 30), 0x8201);
  EXPECT_EQ(rules.ForRun(100, 21, 1), std::nullopt);
  EXPECT_EQ(rules.ForRun(0, 10, 1), std::nullopt);
  rules.services.push_back({1, 5, 0x8212});
  EXPECT_EQ(rules.ForService(1, 5), 0x8212);
  EXPECT_EQ(rules.ForService(5, 1), std::nullopt);
}

TEST(LineFaults, EachCounterStrikesAsOftenAsItSays) {
  LineFaults faults;
  faults.dropNext = 2;
  EXPECT_TRUE(LoseRequest(faults));
  EXPECT_TRUE(LoseRequest(faults));
  EXPECT_FALSE(LoseRequest(faults));

  faults.corruptNext = 1;
  EXPECT_EQ(DamageAnswer(faults, kAnswer124, kRead124),
            (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x7C, 0x00, 0x16, 0x00, 0xED, 0x02}));
  EXPECT_EQ(DamageAnswer(faults, kAnswer124, kRead124), kAnswer124);

  faults.wrongStartNext = 1;
  const Bytes foreign = DamageAnswer(faults, kAnswer124, kRead124);
  EXPECT_EQ(Bytes(foreign.begin(), foreign.begin() + 3), (Bytes{0xAA, 0x55, 0x0E}));
  EXPECT_EQ(DamageAnswer(faults, kAnswer124, kRead124), kAnswer124);

  faults.echoNext = 1;
  EXPECT_EQ(DamageAnswer(faults, kAnswer124, kRead124), kRead124);
  EXPECT_EQ(DamageAnswer(faults, kAnswer124, kRead124), kAnswer124);
}

using InjectedRejections = ModelFixture;

TEST_F(InjectedRejections, ARejectedServiceDoesNotRun) {
  PowerUp("fbc32");
  model->DeviceRejections().services.push_back({1, 5, 0x8212});
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_TRUE(client.Write(100, 59, {8080}).Good());
  EXPECT_EQ(client.Service(1, 5, {}, 0).status, 0x8212);
  EXPECT_EQ(model->StateAt(now).memory.Content().tables.at(100)[59], 80);
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{0});
}

TEST_F(InjectedRejections, ARefusedEnableKeepsTheDeviceWriteProtected) {
  PowerUp("fbc32");
  model->DeviceRejections().services.push_back({1, 1, 0x8214});
  EXPECT_FALSE(client.EnableWriting());
  EXPECT_EQ(client.Service(1, 2, {}, 0).status, 0x8214);
  EXPECT_EQ(client.Write(100, 9, {0}).rejection, 0x8202);
}

TEST_F(InjectedRejections, ARejectedRangeAnswersWithTheStatusInBytes10And11) {
  PowerUp("fbc32");
  model->DeviceRejections().ranges.push_back({124, 0, 10, 0x8201});
  EXPECT_EQ(client.Exchange(kRead124),
            (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0xFC, 0x00, 0x01, 0x82, 0xFF, 0x02}));
  EXPECT_TRUE(client.Read(100, 0, 1).Good());
}
