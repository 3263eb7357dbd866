#include <gtest/gtest.h>

#include <fstream>

#include "ModelFixture.h"
#include "NonVolatileMemory.h"
#include "Platform/StoreFile.h"
#include "TempFolder.h"

using namespace fennec::sim;
using simtest::Words;
using namespace std::chrono_literals;

namespace {

const Profile& Fbc16() { return *FindProfile("fbc16"); }

const std::string kZeros16 = "0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000\n";

// The factory memory of fbc16, written out by hand.
const std::string kFbc16Factory = "fennec-sim non-volatile memory 1\nprofile fbc16\ntable 0 32\n" + kZeros16 + kZeros16 +
                                  "table 100 8\n0000 0000 0000 0001 0050 0001 0000 0000\nclock 0 0\nend\n";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? "<'" + from + "' not found>" : text.replace(at, from.size(), to);
}

}  // namespace

TEST(MemoryFile, FactoryMemoryInItsTextForm) {
  SavedParameters saved;
  saved.tables = Fbc16().parameterTables;
  EXPECT_EQ(EncodeSaved("fbc16", saved), kFbc16Factory);
}

TEST(MemoryFile, RoundTripKeepsTablesAndClock) {
  SavedParameters saved;
  saved.tables = Fbc16().parameterTables;
  saved.tables[100][2] = 0xBEEF;
  saved.tables[0][31] = 0x0102;
  saved.clock = DeviceClock(-12345, 0xFFFB);
  const DecodedMemory decoded = DecodeSaved(EncodeSaved("fbc16", saved), Fbc16());
  ASSERT_TRUE(decoded.saved) << decoded.problem;
  EXPECT_EQ(decoded.saved->tables, saved.tables);
  EXPECT_EQ(decoded.saved->clock.Offset(), -12345);
  EXPECT_EQ(decoded.saved->clock.TimeZone(), 0xFFFB);
}

TEST(MemoryFile, EveryCountAndWordIsChecked) {
  const std::vector<std::pair<std::string, std::string>> damages{
      {"table 100 8", "table 100 300"},
      {"table 100 8", "table 100 7"},
      {"table 100 8", "table 5 8"},
      {"table 100 8", "table 356 8"},
      {"table 100 8", "table 0 8"},
      {"0050", "0G50"},
      {"0050", "10050"},
      {"0050", "-050"},
      {"clock 0 0", "clock 0 65536"},
      {"clock 0 0", "clock x 0"},
      {"end\n", ""},
      {"end\n", "end\ntable 0 1 0000\n"},
      {"memory 1", "memory 2"},
  };
  for (const auto& [from, to] : damages) {
    const DecodedMemory decoded = DecodeSaved(Replace(kFbc16Factory, from, to), Fbc16());
    EXPECT_FALSE(decoded.saved) << from << " -> " << to;
    EXPECT_FALSE(decoded.problem.empty()) << from << " -> " << to;
  }
  // Cut off anywhere: never a half-read memory.
  for (std::size_t length = 0; length + 4 < kFbc16Factory.size(); length += 7)
    EXPECT_FALSE(DecodeSaved(kFbc16Factory.substr(0, length), Fbc16()).saved) << length;
}

TEST(MemoryFile, AnotherProfilesMemoryIsNotLoaded) {
  const DecodedMemory decoded = DecodeSaved(Replace(kFbc16Factory, "profile fbc16", "profile fbcold"), Fbc16());
  EXPECT_FALSE(decoded.saved);
  EXPECT_EQ(decoded.profileName, "fbcold");
}

TEST(NonVolatileMemory, StoresInTheFileAndLoadsFromIt) {
  TempFolder folder;
  const auto file = folder.Path() / "sim" / "memory.txt";
  NonVolatileMemory first(Fbc16(), file);
  EXPECT_EQ(first.LoadedFrom(), NonVolatileMemory::Origin::Factory);
  SavedParameters saved = first.Content();
  saved.tables[100][4] = 8080;
  ASSERT_TRUE(first.Store(saved));
  EXPECT_NE(fennec::platform::ReadWholeFile(file).value_or("").find("1F90"), std::string::npos);

  const NonVolatileMemory second(Fbc16(), file);
  EXPECT_EQ(second.LoadedFrom(), NonVolatileMemory::Origin::File);
  EXPECT_EQ(second.Content().tables.at(100)[4], 8080);
}

// A simulator killed in the middle of a save leaves its temporary copy; the next save clears it.
TEST(NonVolatileMemory, AStoreClearsTheCopiesOfSavesAKillCutOff) {
  TempFolder folder;
  const auto file = folder.Path() / "memory.txt";
  const auto cutOff = std::filesystem::path(file).concat(".tmp-x9Y8z7");
  std::ofstream(cutOff) << kFbc16Factory.substr(0, 40);
  NonVolatileMemory memory(Fbc16(), file);
  SavedParameters saved = memory.Content();
  saved.tables[100][4] = 8080;
  ASSERT_TRUE(memory.Store(saved));
  EXPECT_FALSE(std::filesystem::exists(cutOff));
  EXPECT_EQ(NonVolatileMemory(Fbc16(), file).Content().tables.at(100)[4], 8080);
}

TEST(NonVolatileMemory, ADamagedFileIsMovedAsideAndTheFactoryMemoryUsed) {
  TempFolder folder;
  const auto file = folder.Path() / "memory.txt";
  std::ofstream(file) << Replace(kFbc16Factory, "0050", "zz");
  const NonVolatileMemory memory(Fbc16(), file);
  EXPECT_EQ(memory.LoadedFrom(), NonVolatileMemory::Origin::FactoryAfterDamage);
  EXPECT_EQ(memory.Content().tables, Fbc16().parameterTables);
  EXPECT_FALSE(std::filesystem::exists(file));
  std::size_t aside = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    aside += entry.path().filename().string().starts_with("memory.txt.damaged-") ? 1 : 0;
  EXPECT_EQ(aside, 1u);
}

TEST(NonVolatileMemory, AnotherProfilesFileIsLeftAlone) {
  TempFolder folder;
  const auto file = folder.Path() / "memory.txt";
  const std::string other = Replace(kFbc16Factory, "profile fbc16", "profile fbcold");
  std::ofstream(file) << other;
  const NonVolatileMemory memory(Fbc16(), file);
  EXPECT_EQ(memory.LoadedFrom(), NonVolatileMemory::Origin::OtherProfile);
  EXPECT_EQ(fennec::platform::ReadWholeFile(file), other);
}

using Persistence = ModelFixture;

TEST_F(Persistence, SavedParametersAndTheClockOutliveTheModel) {
  TempFolder folder;
  const auto file = folder.Path() / "memory.txt";
  PowerUp("fbc32", {}, file);
  ASSERT_TRUE(client.EnableWriting());
  ASSERT_TRUE(client.Write(100, 59, {8080}).Good());
  ASSERT_EQ(client.Service(1, 5, {}, 0).status, 0);
  ASSERT_EQ(client.Service(1, 23, {0x4240, 0x000F, 0x0002}, 0).status, 0);

  Advance(10000ms);
  PowerUp("fbc32", {}, file);
  EXPECT_EQ(client.Read(100, 59, 1).words, Words{8080});
  EXPECT_EQ(client.Service(1, 22, {}, 3).results, (Words{0x424A, 0x000F, 0x0002}));
}

TEST_F(Persistence, ASaveThatCannotBeWrittenIsReportedAsAWriteError) {
  TempFolder folder;
  std::ofstream(folder.Path() / "plain-file") << "x";
  PowerUp("fbc32", {}, folder.Path() / "plain-file" / "memory.txt");
  EXPECT_EQ(client.Service(1, 5, {}, 0).status, 0x8203);
  EXPECT_EQ(client.Read(127, 1, 1).words, Words{0}) << "no save sequence for a failed save";
}
