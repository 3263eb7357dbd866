#include <gtest/gtest.h>

#include "CommandLine.h"

using namespace fennec::sim;

namespace {

ParsedCommandLine Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }

}  // namespace

TEST(CommandLine, DefaultsToThe32BitCouplerWithoutFaults) {
  const ParsedCommandLine parsed = Parse({});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->simulator.profile.name, "fbc32");
  EXPECT_EQ(parsed.options->simulator.baud, 0u);
  EXPECT_EQ(parsed.options->simulator.timings.restartSilence, std::chrono::milliseconds(2000));
  EXPECT_FALSE(parsed.options->simulator.lineFaults.cutAfter);
  EXPECT_FALSE(parsed.options->verbose);
}

TEST(CommandLine, ValuesAfterASpaceOrAnEqualsSign) {
  const ParsedCommandLine parsed =
      Parse({"--baud=19200", "--restart-silence", "0x1F4", "-v", "--state", "/tmp/m.txt", "--cut-after", "3"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->simulator.baud, 19200u);
  EXPECT_EQ(parsed.options->simulator.timings.restartSilence, std::chrono::milliseconds(500));
  EXPECT_TRUE(parsed.options->verbose);
  EXPECT_EQ(parsed.options->simulator.stateFile, "/tmp/m.txt");
  EXPECT_EQ(parsed.options->simulator.lineFaults.cutAfter, 3u);
}

TEST(CommandLine, IdentityTextsOverrideTheProfileWhereverTheyStand) {
  const ParsedCommandLine parsed =
      Parse({"--order-number", "716-399", "--profile", "fbc16", "--mac=02:00:00:00:00:01", "--network-kind", "EUI"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const Identity& identity = parsed.options->simulator.profile.identity;
  EXPECT_EQ(parsed.options->simulator.profile.name, "fbc16");
  EXPECT_EQ(identity.orderNumber, "716-399");
  EXPECT_EQ(identity.description, "ETHERNET FBC 10MBIT");
  EXPECT_EQ(identity.networkValue, "02:00:00:00:00:01");
  EXPECT_EQ(identity.networkKind, "EUI");
}

TEST(CommandLine, RejectionRules) {
  const ParsedCommandLine parsed = Parse({"--reject-service", "1/5=0x8212", "--reject-registers", "100:0-79=0x8201",
                                          "--reject-registers=124:7=33281"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const Rejections& rules = parsed.options->simulator.rejections;
  ASSERT_EQ(rules.services.size(), 1u);
  EXPECT_EQ(rules.services[0].group, 1);
  EXPECT_EQ(rules.services[0].number, 5);
  EXPECT_EQ(rules.services[0].status, 0x8212);
  ASSERT_EQ(rules.ranges.size(), 2u);
  EXPECT_EQ(rules.ranges[0].table, 100);
  EXPECT_EQ(rules.ranges[0].first, 0u);
  EXPECT_EQ(rules.ranges[0].last, 79u);
  EXPECT_EQ(rules.ranges[1].table, 124);
  EXPECT_EQ(rules.ranges[1].first, 7u);
  EXPECT_EQ(rules.ranges[1].last, 7u);
  EXPECT_EQ(rules.ranges[1].status, 0x8201);
}

TEST(CommandLine, EveryBadValueIsRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad{
      {"--baud", "96OO"},
      {"--baud", "-1"},
      {"--baud", "4000001"},
      {"--baud"},
      {"--cut-after", "0"},
      {"--delay", "3600001"},
      {"--profile", "fbc64"},
      {"--reject-service", "1/5"},
      {"--reject-service", "1/256=0x8212"},
      {"--reject-service", "1/5=0"},
      {"--reject-registers", "100:9-3=0x8201"},
      {"--reject-registers", "128:0=0x8201"},
      {"--reject-registers", "100:0-256=0x8201"},
      {"--reject-registers", "100=0x8201"},
      {"--verbose=1"},
      {"--colour"},
      {"extra"},
      {"--description", std::string(79, 'x')},
      {"--mac", std::string(300, 'x')},
      {"--table124", "FragmentSize"},
      {"--table124", "Fragmentsize=70000"},
      {"--table124", "Size=3"},
      {"--profile", "fbc16", "--table124", "version=1"},
      {"--ext-fault", "seqnr"},
      {"--ext-fault", "wobble=1"},
      {"--ext-fault", "silent-after=x"},
      {"--old-restart-answer=1"},
      {"--fault-rate", "1.5"},
      {"--fault-rate", "101%"},
      {"--fault-rate", "-0.1"},
      {"--fault-rate", "five"},
      {"--fault-rate", "%"},
      {"--seed", "4294967296"},
      {"--reset-after", "0"},
      {"--fault-kinds", "drop,lost"},
      {"--fault-kinds", "drop,"},
      {"--fault-kinds", ""},
  };
  for (const auto& arguments : bad) {
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    EXPECT_FALSE(parsed.options) << arguments[0];
    EXPECT_FALSE(parsed.error.empty()) << arguments[0];
  }
}

TEST(CommandLine, HelpNamesEveryOptionAndProfile) {
  const std::string help = HelpText();
  for (const char* name :
       {"--profile", "--link", "--state", "--baud", "--restart-silence", "--save-time", "--file-job-time",
        "--order-number", "--description", "--hw-version", "--sw-version", "--fwl-version", "--serial-number",
        "--network-kind", "--mac", "--drop", "--corrupt-checksum", "--wrong-start", "--echo", "--delay", "--cut-after",
        "--reject-service", "--reject-registers", "--table124", "--old-restart-answer", "--ext-fault", "--verbose",
        "--help", "--reset-after", "--fault-rate", "--seed", "--fault-late", "--fault-gap", "--fault-kinds"})
    EXPECT_NE(help.find(name), std::string::npos) << name;
  for (const Profile& profile : AllProfiles()) EXPECT_NE(help.find("  " + profile.name + " "), std::string::npos) << profile.name;
}

TEST(CommandLine, Table124IsRewrittenAfterTheProfileIsChosen) {
  const ParsedCommandLine parsed =
      Parse({"--table124", "FragmentSize=100,TargetBufSize=0", "--profile", "fbcext", "--table124=FragmentEnable=0"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const TableImage& table = parsed.options->simulator.profile.deviceTables.at(124);
  EXPECT_EQ(table[5], 100);
  EXPECT_EQ(table[3], 0);
  EXPECT_EQ(table[4], 0);
  EXPECT_EQ(table[8], 1) << "fbcext's version stays";
  std::uint16_t sum = 0;
  for (const std::uint16_t word : table) sum = static_cast<std::uint16_t>(sum + word);
  EXPECT_EQ(sum, 0);
}

TEST(CommandLine, ExtendedFaultsAndTheOldRestartAnswer) {
  const ParsedCommandLine parsed = Parse({"--ext-fault", "seqnr=3", "--ext-fault=oversize=1", "--ext-fault",
                                          "silent-after=0", "--ext-fault", "confirm=2", "--old-restart-answer"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const ExtFaults& faults = parsed.options->simulator.extFaults;
  EXPECT_EQ(faults.wrongSeqNr, 3u);
  EXPECT_EQ(faults.oversizeLen, 1u);
  EXPECT_EQ(faults.confirmationInstead, 2u);
  EXPECT_EQ(faults.silentAfter, 0u);
  EXPECT_EQ(faults.badChecksum, 0u);
  EXPECT_TRUE(parsed.options->simulator.profile.oldFormatRestartAnswer);
  EXPECT_FALSE(Parse({}).options->simulator.profile.oldFormatRestartAnswer);
}

TEST(CommandLine, RandomFaultsAndThePowerFailure) {
  const struct {
    const char* rate;
    double expected;
  } rates[] = {{"0.05", 0.05}, {"5%", 0.05}, {"0", 0.0}, {"1", 1.0}, {"100%", 1.0}, {"12.5%", 0.125}};
  for (const auto& rate : rates) {
    const ParsedCommandLine parsed = Parse({"--fault-rate", rate.rate});
    ASSERT_TRUE(parsed.options) << rate.rate << ": " << parsed.error;
    EXPECT_DOUBLE_EQ(parsed.options->simulator.randomFaults.rate, rate.expected) << rate.rate;
  }
  const ParsedCommandLine parsed =
      Parse({"--seed", "0xC0FFEE", "--fault-late=250", "--fault-gap", "40", "--reset-after", "12", "--fault-kinds",
             "hangup,start,drop"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const RandomFaults& faults = parsed.options->simulator.randomFaults;
  EXPECT_EQ(faults.rate, 0.0) << "no random faults unless asked for";
  EXPECT_EQ(faults.seed, 0xC0FFEEu);
  EXPECT_EQ(faults.late, std::chrono::milliseconds(250));
  EXPECT_EQ(faults.gap, std::chrono::milliseconds(40));
  EXPECT_EQ(faults.kinds, (std::vector<RandomFault>{RandomFault::HangUp, RandomFault::WrongStart, RandomFault::Drop}));
  EXPECT_EQ(parsed.options->simulator.lineFaults.resetAfter, 12u);
  EXPECT_FALSE(Parse({}).options->simulator.lineFaults.resetAfter);
}
