#include <gtest/gtest.h>

#include "FaultSoak.h"

using namespace fennec::soak;
using fennec::sim::FaultName;
using fennec::sim::kRandomFaultKinds;

// A thousand register exchanges through the library on a line that one in ten exchanges is
// struck by a random fault: not one word may be reported that the device does not hold, and
// no register may change that no write asked for.
TEST(FaultSoak, AThousandExchangesOnAFaultyLine) {
  SoakOptions options;
  options.exchanges = 1000;
  options.faultRate = 0.10;
  options.seed = 25;
  options.timeout = std::chrono::milliseconds(100);
  const SoakReport report = RunFaultSoak(options);

  EXPECT_EQ(report.wrongWords, 0u) << FormatReport(report);
  EXPECT_EQ(report.unaskedChanges, 0u) << FormatReport(report);

  // The faults did strike, the repetition did recover some exchanges, and every exchange was
  // counted once.
  for (const auto kind : kRandomFaultKinds)
    EXPECT_GT(report.drawn[static_cast<std::size_t>(kind)], 0u) << FaultName(kind) << "\n" << FormatReport(report);
  EXPECT_GT(report.Recovered(), 0u) << FormatReport(report);
  EXPECT_GT(report.reopened, 0u) << FormatReport(report);
  unsigned exchanges = 0;
  unsigned failed = 0;
  for (const KindCounts& row : report.byKind) {
    EXPECT_EQ(row.correct + row.recovered + row.Failed(), row.exchanges);
    exchanges += row.exchanges;
    failed += row.Failed();
  }
  EXPECT_EQ(exchanges, 1000u);
  EXPECT_EQ(report.reads + report.writes, 1000u);
  EXPECT_GT(failed, 0u);
}
