#include <gtest/gtest.h>

#include "CutWrites.h"
#include "TempFolder.h"

using namespace fennec::cutwrites;

namespace {

// Lines as fennec-sim -v writes them: a read, a write of registers 2 and 3 of table 100 in one
// request and of register 0 in another, a service, then the cut.
constexpr std::string_view kLog =
    "fennec-sim: profile fbc32: Ethernet fieldbus coupler, 32-bit generation, serving /dev/pts/3\n"
    "fennec-sim: [     1.000 ms] <- FD 02 0C 00 00 01 52 00 00 00 5E 01  read table 0 from 0, 1 register(s)\n"
    "fennec-sim: [     1.100 ms] -> 02 FD 0E 00 00 01 72 00 00 00 00 00 80 01\n"
    "fennec-sim: [     2.000 ms] <- FD 02 10 00 00 02 52 00 E4 02 34 12 CD AB 00 00  write table 100 from 2, 2 register(s)\n"
    "fennec-sim: [     3.000 ms] <- FD 02 0E 00 00 01 52 00 E4 00 07 00 00 00  write table 100 from 0, 1 register(s)\n"
    "fennec-sim: [     4.000 ms] <- FD 02 10 00 00 02 52 00 E3 00 01 05 00 00 4C 02  write table 99 from 0, 2 register(s)\n"
    "fennec-sim: [     5.000 ms] line cut after 4 exchanges\n";

}  // namespace

TEST(SimulatorLog, CountsTheExchangesAndCollectsTheWordsWrittenToTable100) {
  const SimulatorLog log = ReadSimulatorLog(kLog);
  EXPECT_EQ(log.exchanges, 4u);
  EXPECT_TRUE(log.cut);
  EXPECT_EQ(log.table100Written, (std::map<unsigned, std::uint16_t>{{0, 0x0007}, {2, 0x1234}, {3, 0xABCD}}));

  const SimulatorLog power = ReadSimulatorLog(
      "fennec-sim: [     1.000 ms] <- FD 02 0C 00 00 01 52 00 00 00 5E 01  read table 0 from 0, 1 register(s); the power "
      "fails (injected)\n");
  EXPECT_EQ(power.exchanges, 1u);
  EXPECT_TRUE(power.cut);
  EXPECT_FALSE(ReadSimulatorLog(kLog.substr(0, kLog.rfind("fennec-sim: [     5"))).cut);
}

TEST(SimulatorLog, TheIntendedImageNeedsEveryRegisterWritten) {
  const Words old{1, 2, 3, 4};
  EXPECT_EQ(IntendedImage(old, {{0, 9}, {1, 8}, {2, 7}, {3, 6}}), (Words{9, 8, 7, 6}));
  EXPECT_EQ(IntendedImage(old, {{0, 9}, {1, 8}, {3, 6}}), std::nullopt);
}

TEST(SimulatorLog, TheImageAfterTheRestartIsJudgedAgainstOldAndNew) {
  const Words old{1, 2, 3, 4};
  const Words written{1, 2, 7, 8};
  EXPECT_EQ(Judge(old, written, old), Image::Old);
  EXPECT_EQ(Judge(old, written, written), Image::New);
  EXPECT_EQ(Judge(old, written, Words{1, 2, 7, 4}), Image::Mix);
  EXPECT_EQ(Judge(old, std::nullopt, Words{1, 2, 7, 8}), Image::Mix) << "a write that never went out whole";
  EXPECT_EQ(Judge(old, written, Words{1, 2, 3}), Image::Mix);
}

// Three writes through the real programs keep the machinery of the benchmark from rotting.
TEST(CutWrites, ThreeCutWritesLeaveTheOldOrTheNewImageAndSayWhatFailed) {
  TempFolder folder;
  CutWriteOptions options;
  options.writes = 3;
  options.seed = 3;
  options.lanternaCli = LANTERNA_CLI;
  options.fennecSim = FENNEC_SIM;
  options.folder = folder.Path();
  const CutWriteReport report = RunCutWrites(options);
  ASSERT_EQ(report.writes.size(), 3u);
  EXPECT_GT(report.calibration, 20u);
  EXPECT_EQ(report.Count(Image::Mix), 0u) << FormatReport(report);
  EXPECT_EQ(report.WrongStatus(), 0u) << FormatReport(report);
  for (const CutWrite& write : report.writes)
    EXPECT_TRUE(write.exitStatus == 0 || !write.failureText.empty()) << FormatWrite(write);
}
