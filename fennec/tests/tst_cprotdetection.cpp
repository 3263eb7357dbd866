// Detection of the extended protocol from table 124, read through the legacy services of a
// scripted device.
#include <gtest/gtest.h>

#include "ExtDevice.h"
#include "Platform/LastError.h"
#include "ProtDetection.h"
#include "TelegramBytes.h"

using ext_bytes::Detected;
using ext_bytes::Table124;
using ext_bytes::Words;

TEST(ProtDetection, AWrongTableSumKeepsTheDefaults) {
  Words table = Table124(1024, 1, 64);
  table[1] = 0;
  const Detected detected(table);
  EXPECT_EQ(detected.result, 10u);
  EXPECT_FALSE(detected.detection.IsExtProtSupported());
  EXPECT_EQ(detected.detection.GetFragmentSize(), 100);
  EXPECT_EQ(detected.detection.GetTargetBufSize(), 0);
  EXPECT_FALSE(detected.detection.GetFragmentEnable());
  EXPECT_EQ(detected.detection.GetVersion(), 0);
}

// Version 0 with a correct sum: the table is read and its values taken, but the protocol is
// not there.
TEST(ProtDetection, VersionZeroIsReadButNotSupported) {
  const Detected detected(Table124(512, 1, 64, 0));
  EXPECT_EQ(detected.result, 0u);
  EXPECT_FALSE(detected.detection.IsExtProtSupported());
  EXPECT_EQ(detected.detection.GetFragmentSize(), 64);
  EXPECT_EQ(detected.detection.GetTargetBufSize(), 512);
  EXPECT_TRUE(detected.detection.GetFragmentEnable());
  EXPECT_EQ(detected.detection.GetProtocolID(), 1);
  EXPECT_EQ(detected.detection.GetFragmentTimeout(), 500);
  EXPECT_EQ(detected.detection.GetRegAccTimeout(), 1000);
}

TEST(ProtDetection, OnlyFragmentEnable1Enables) {
  for (const std::uint16_t enable : {0, 2, 0xFFFF}) {
    const Detected detected(Table124(1024, enable, 64, 3));
    EXPECT_EQ(detected.result, 0u);
    EXPECT_TRUE(detected.detection.IsExtProtSupported());
    EXPECT_EQ(detected.detection.GetVersion(), 3);
    EXPECT_FALSE(detected.detection.GetFragmentEnable()) << enable;
  }
}

// The table gives its own size; more than the eleven known words are never asked for.
TEST(ProtDetection, ALongerTableIsReadAsFarAsItsElevenWords) {
  Words table = Table124(1024, 1, 64);
  table[0] = 40;
  table[1] = static_cast<std::uint16_t>(table[1] - 18);
  const Detected detected(table);
  EXPECT_EQ(detected.result, 0u);
  EXPECT_TRUE(detected.detection.IsExtProtSupported());
  ASSERT_EQ(detected.line.writes.size(), 2u);
  EXPECT_EQ(telegram_bytes::Parse(detected.line.writes[1]).count, 11u);
}

// A 16-bit coupler has no table 124: the detection reports the refusal.
TEST(ProtDetection, AMissingTableGivesTheReadsCode) {
  ScriptedConnection line;
  line.Open();
  line.QueueReply(telegram_bytes::Rejection(124, 0, 0x8200));
  CSIOService service(&line);
  CProtDetection detection(&service, nullptr);
  EXPECT_EQ(detection.DetectProtokollType(), 0x20088200u);
  EXPECT_FALSE(detection.IsExtProtSupported());
  EXPECT_EQ(detection.GetFragmentSize(), 100);
}
