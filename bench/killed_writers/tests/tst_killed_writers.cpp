#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "Figures.h"
#include "WriteLedger.h"
#include "WrittenValues.h"

using namespace killed_writers;
using namespace std::chrono_literals;

namespace {

Clock::time_point At(std::chrono::milliseconds since) { return Clock::time_point(since); }

const std::vector<WriteId> kIds{{1, 1}, {1, 2}, {7, 400}, {255, 1}, {3, kMaxSequence}, {42, 0x10000}};

}  // namespace

TEST(WrittenValues, EveryKindOfValueNamesItsWrite) {
  for (const WriteId& id : kIds) {
    EXPECT_EQ(ParseTextValue(TextValue(id)), id);
    EXPECT_EQ(ParseNumberValue(NumberValue(id)), id);
  }
  // Two writes never share a value, or a stale one could pass for the newer.
  EXPECT_NE(TextValue({1, 2}), TextValue({2, 1}));
  EXPECT_NE(NumberValue({1, 2}), NumberValue({2, 1}));
}

TEST(WrittenValues, ATextCutShortOrMixedReadsAsNoWrite) {
  const std::string a = TextValue({5, 17});
  const std::string b = TextValue({5, 18});
  std::vector<std::string> damaged;
  for (std::size_t length = 0; length < a.size(); length += 3) damaged.push_back(a.substr(0, length));
  damaged.push_back(a.substr(0, a.size() / 2) + b.substr(b.size() / 2));
  damaged.push_back(a + "x");
  std::string flipped = a;
  flipped.back() = flipped.back() == 'a' ? 'b' : 'a';
  damaged.push_back(flipped);
  std::string otherHeader = a;
  otherHeader.replace(0, 3, "w6 ");
  damaged.push_back(otherHeader);
  for (const std::string& text : damaged) EXPECT_EQ(ParseTextValue(text), std::nullopt) << text;
}

TEST(WrittenValues, NumbersWithoutAWriterOrANumberAreNoWrite) {
  for (const std::uint32_t number : {0u, 0x00000005u, 0x05000000u}) EXPECT_EQ(ParseNumberValue(number), std::nullopt) << number;
}

TEST(WrittenValues, ADeviceImageHalfFromAnotherSaveIsNoSave) {
  const auto a = DeviceImage({3, 9}, 80);
  const auto b = DeviceImage({3, 10}, 80);
  ASSERT_EQ(a.size(), 80u);
  EXPECT_EQ(ParseDeviceImage(a), (WriteId{3, 9}));
  // The table goes out in two telegrams: the first from one save, the rest from the next.
  std::vector<std::uint16_t> torn(a.begin(), a.begin() + 44);
  torn.insert(torn.end(), b.begin() + 44, b.end());
  EXPECT_EQ(ParseDeviceImage(torn), std::nullopt);
  std::vector<std::uint16_t> factory(80, 0);
  EXPECT_EQ(ParseDeviceImage(factory), std::nullopt);
  EXPECT_EQ(ParseDeviceImage(std::span(a).first(1)), std::nullopt);
}

TEST(WrittenValues, ReportLinesRoundTripAndRefuseDamage) {
  const Report report{12, At(1000ms), At(1003ms)};
  const auto parsed = ParseReportLine(ReportLine(report));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->sequence, 12u);
  EXPECT_EQ(parsed->start, report.start);
  EXPECT_EQ(parsed->end, report.end);

  const std::string good = ReportLine(report);
  for (const std::string& line : {std::string(), good.substr(0, good.size() - 1) + " ", good + " 5",
                                  std::string("12 5 4"), std::string("x 1 2"), good.substr(0, good.find(' '))})
    EXPECT_EQ(ParseReportLine(line), std::nullopt) << line;
}

TEST(WrittenValues, EveryWriteGoesToATargetTheCheckLooksAt) {
  std::vector<std::string> checked;
  for (const Target& target : TargetsOf(3)) checked.push_back(target.Name());
  for (unsigned writer = 1; writer <= 3; ++writer) {
    for (std::uint32_t sequence = 1; sequence <= 64; ++sequence) {
      const Target target = TargetOf({writer, sequence});
      EXPECT_NE(std::find(checked.begin(), checked.end(), target.Name()), checked.end()) << target.Name();
    }
  }
  EXPECT_EQ(TargetOf({4, 1}).Name(), "Writer4\\Number");
  EXPECT_TRUE(TargetOf({4, 1}).number);
  EXPECT_EQ(TargetOf({4, 4}).Name(), "Writer4\\Text");
  EXPECT_EQ(TargetOf({4, 2}).Name(), TargetOf({9, 2}).Name()) << "writers share the slots";
}

TEST(WriteLedger, JudgesWhatATargetHolds) {
  // Every write goes to one target here; writer 1 wrote [10,20] and [30,40] and was killed at 100,
  // writer 2 wrote [35,45] and was killed at 50, writer 3 still runs with nothing reported.
  WriteLedger ledger([](WriteId) { return std::string("T"); });
  ledger.Reported({1, 1}, At(10ms), At(20ms));
  ledger.Reported({1, 2}, At(30ms), At(40ms));
  ledger.Reported({2, 1}, At(35ms), At(45ms));
  ledger.Killed(1, At(100ms));
  ledger.Killed(2, At(50ms));

  struct Case {
    const char* what;
    Held held;
    bool lost;
    bool notWritten;
  };
  const std::vector<Case> cases{
      {"the last write", WriteId{2, 1}, false, false},
      {"a write that overlapped the last", WriteId{1, 2}, false, false},
      {"a write that ended before another began", WriteId{1, 1}, true, false},
      {"the write the kill cut off, after every report", WriteId{1, 3}, false, false},
      {"the other writer's cut-off write", WriteId{2, 2}, false, false},
      {"a write after the one the kill cut off", WriteId{1, 4}, true, true},
      {"a write of a writer still running and unreported", WriteId{3, 1}, true, true},
      {"nothing", Absent{}, true, false},
      {"something no write produces", Unreadable{}, true, true},
  };
  for (const Case& c : cases) {
    const Verdict verdict = ledger.Judge("T", c.held);
    EXPECT_EQ(verdict.lost, c.lost) << c.what;
    EXPECT_EQ(verdict.notWritten, c.notWritten) << c.what;
  }
}

TEST(WriteLedger, AKilledWritersLastWriteLosesToWritesBegunAfterTheKill) {
  WriteLedger ledger([](WriteId) { return std::string("T"); });
  ledger.Reported({1, 1}, At(10ms), At(20ms));
  ledger.Killed(1, At(30ms));
  ledger.Reported({2, 1}, At(40ms), At(50ms));
  ledger.Killed(2, At(60ms));
  EXPECT_TRUE(ledger.Judge("T", WriteId{1, 2}).lost) << "cut off at 30, so older than the write begun at 40";
  EXPECT_FALSE(ledger.Judge("T", WriteId{2, 2}).lost);
  EXPECT_FALSE(ledger.Judge("T", WriteId{2, 2}).notWritten);
}

TEST(WriteLedger, TargetsAreJudgedApart) {
  WriteLedger ledger([](WriteId id) { return TargetOf(id).Name(); });
  ledger.Reported({1, 1}, At(10ms), At(20ms));  // Writer1\Number
  ledger.Reported({1, 2}, At(30ms), At(40ms));  // Shared\Slot0
  ledger.Killed(1, At(50ms));
  EXPECT_FALSE(ledger.Judge("Writer1\\Number", WriteId{1, 1}).lost) << "the later write went elsewhere";
  EXPECT_TRUE(ledger.Judge("Shared\\Slot0", WriteId{1, 1}).notWritten) << "a value where its write never went";
  EXPECT_FALSE(ledger.Judge("Writer1\\Text", Absent{}).lost) << "nothing was reported there";
  EXPECT_FALSE(ledger.Judge("Shared\\Slot0", WriteId{1, 3}).notWritten) << "the cut-off write's own target";
  EXPECT_TRUE(ledger.Judge("Shared\\Slot1", WriteId{1, 3}).notWritten) << "the cut-off write went elsewhere";
  EXPECT_EQ(ledger.ReportedWrites(), 2u);
}

TEST(Figures, TemporariesAreCountedBesideTheirFileOnly) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("tst_killed_writers-" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(folder);
  for (const char* name : {"registry.xml", "registry.xml.tmp-a1B2c3", "registry.xml.tmp-zzzzzz", "registry.xml.lock",
                           "other.xml.tmp-a1B2c3", "registry.xml.damaged-1-2"})
    std::ofstream(folder / name) << "x";
  EXPECT_EQ(TemporariesBeside(folder / "registry.xml"), 2u);
  EXPECT_EQ(TemporariesBeside(folder / "other.xml"), 1u);
  std::filesystem::remove_all(folder);
}
