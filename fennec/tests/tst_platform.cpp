#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "Platform/Assert.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "Platform/StoreFile.h"
#include "Platform/Time.h"
#include "TempFolder.h"

using namespace fennec::platform;

TEST(LastError, IsKeptPerThread) {
  SetThreadLastError(0x20010200);
  std::uint32_t seenByOtherThread = 1;
  std::thread other([&] {
    seenByOtherThread = GetThreadLastError();
    SetThreadLastError(0x20020005);
  });
  other.join();
  EXPECT_EQ(seenByOtherThread, 0u);
  EXPECT_EQ(GetThreadLastError(), 0x20010200u);
}

TEST(DebugOutput, CaptureGetsWholeBlocksAndRestoresThePreviousSink) {
  std::string outer;
  const DebugSink previous = SetDebugSink([&outer](std::string_view text) { outer += text; });
  {
    DebugCapture capture;
    DebugOutput({"\n** A **\n", "  Class:\t\tX\n"});
    DebugOutput("second");
    EXPECT_EQ(capture.Text(), "\n** A **\n  Class:\t\tX\nsecond");
    capture.Clear();
    EXPECT_EQ(capture.Text(), "");
  }
  DebugOutput("after");
  EXPECT_EQ(outer, "after");
  SetDebugSink(previous);
}

TEST(DebugOutput, DefaultSinkWritesToStandardErrorOnlyWhenEnabled) {
  unsetenv("FENNEC_DEBUG");
  testing::internal::CaptureStderr();
  DebugOutput("dropped");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  setenv("FENNEC_DEBUG", "1", 1);
  testing::internal::CaptureStderr();
  DebugOutput("shown");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "shown");
  unsetenv("FENNEC_DEBUG");
}

namespace {
bool GuardedCall(const unsigned char* buffer) {
  if (!FENNEC_ASSERT(buffer != nullptr)) return false;
  return true;
}
}  // namespace

TEST(Assert, ReportsTheConditionAndLetsTheCallReturnFalse) {
  DebugCapture capture;
  const unsigned char byte = 0;
  EXPECT_TRUE(GuardedCall(&byte));
  EXPECT_EQ(capture.Text(), "");

  EXPECT_FALSE(GuardedCall(nullptr));
  const std::string report = capture.Text();
  EXPECT_NE(report.find("buffer != nullptr"), std::string::npos) << report;
  EXPECT_NE(report.find("tst_platform.cpp"), std::string::npos) << report;
}

TEST(StoreFile, ReplaceCreatesFoldersAndLeavesNoTemporaryBehind) {
  TempFolder folder;
  const auto file = folder.Path() / "a" / "b" / "store.xml";
  ASSERT_TRUE(ReplaceFileAtomically(file, "first"));
  ASSERT_TRUE(ReplaceFileAtomically(file, "second\r\n"));
  EXPECT_EQ(ReadWholeFile(file).value_or("<missing>"), "second\r\n");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file.parent_path())) ++entries;
  EXPECT_EQ(entries, 1);
}

// Only the names mkstemp gives a temporary copy of this file go; anything else beside it stays.
TEST(StoreFile, AbandonedTemporariesGoAndNothingElse) {
  TempFolder folder;
  const auto file = folder.Path() / "store.xml";
  const std::vector<std::string> abandoned{"store.xml.tmp-a1B2c3", "store.xml.tmp-ZZZZZZ"};
  const std::vector<std::string> kept{"store.xml",          "store.xml.lock",         "store.xml.damaged-1-2",
                                      "store.xml.tmp-old",  "store.xml.tmp-a1B2c3.x", "store.xml.tmp-a1B2c!",
                                      "other.xml.tmp-a1B2c3", "xstore.xml.tmp-a1B2c3"};
  for (const auto& names : {abandoned, kept})
    for (const std::string& name : names) std::ofstream(folder.Path() / name) << "x";
  std::filesystem::create_directory(folder.Path() / "store.xml.tmp-Folder");

  RemoveAbandonedTemporaries(file);
  for (const std::string& name : abandoned) EXPECT_FALSE(std::filesystem::exists(folder.Path() / name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(folder.Path() / name)) << name;
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "store.xml.tmp-Folder"));
}

TEST(StoreFile, MoveAsideKeepsTheContentUnderANewName) {
  TempFolder folder;
  const auto file = folder.Path() / "store.xml";
  std::ofstream(file) << "garbage";
  const auto aside = MoveAside(file);
  ASSERT_TRUE(aside.has_value());
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(ReadWholeFile(*aside).value_or(""), "garbage");
}

TEST(StoreFile, PathFollowsTheEnvironment) {
  setenv("FENNEC_REGISTRY", "/x/y.xml", 1);
  EXPECT_EQ(SettingsStorePath(), "/x/y.xml");
  unsetenv("FENNEC_REGISTRY");
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(SettingsStorePath(), "/cfg/ORLA Software/registry.xml");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/tech", 1);
  EXPECT_EQ(SettingsStorePath(), "/home/tech/.config/ORLA Software/registry.xml");
}

TEST(StoreFile, StateFolderFollowsTheEnvironment) {
  setenv("XDG_STATE_HOME", "/state", 1);
  EXPECT_EQ(UserStateFolder(), "/state/ORLA Software");
  unsetenv("XDG_STATE_HOME");
  setenv("HOME", "/home/tech", 1);
  EXPECT_EQ(UserStateFolder(), "/home/tech/.local/state/ORLA Software");
}

TEST(Time, TimeZoneFollowsTheEnvironmentAtEachCall) {
  const char* previous = std::getenv("TZ");
  const std::string saved = previous ? previous : "";

  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  const TimeZoneInfo central = CurrentTimeZone();
  EXPECT_EQ(central.biasSeconds, -3600);
  EXPECT_TRUE(central.daylight);
  EXPECT_EQ(central.daylightName, "CEST");

  setenv("TZ", "EST5", 1);
  const TimeZoneInfo eastern = CurrentTimeZone();
  EXPECT_EQ(eastern.biasSeconds, 5 * 3600);
  EXPECT_FALSE(eastern.daylight);

  if (previous)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  CurrentTimeZone();
}
