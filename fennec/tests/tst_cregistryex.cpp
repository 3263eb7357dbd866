#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Common/DamagedStore.h"
#include "Common/RegistyEx.h"
#include "Platform/DebugOutput.h"
#include "Platform/StoreFile.h"
#include "TempFolder.h"

using cutils::CRegistryEx;
using fennec::platform::DebugCapture;

namespace {

const std::string kErrorHead = "\n*************************** ERROR ***************************\n";
const std::string kFoot = "*************************************************************\n\n";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("FENNEC_REGISTRY", StoreFile().c_str(), 1); }
  void TearDown() override { unsetenv("FENNEC_REGISTRY"); }

  std::filesystem::path StoreFile() const { return m_folder.Path() / "registry.xml"; }

  int DamagedCopies() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
      if (entry.path().filename().string().find(".damaged-") != std::string::npos) ++count;
    return count;
  }

 private:
  TempFolder m_folder;
};

}  // namespace

TEST(CRegistryExPath, EmptyPathSelectsTheDefaultKeyWithAnInfoReport) {
  DebugCapture capture;
  CRegistryEx registry("HKLM\\Software\\Test");
  capture.Clear();
  EXPECT_FALSE(registry.SetPath(""));
  EXPECT_EQ(registry.GetHive(), CRegistryEx::kHKeyCurrentUser);
  EXPECT_EQ(registry.GetSubKeyPath(), "Software\\ORLA Software");
  EXPECT_EQ(capture.Text(),
            "\n*************************** INFO ****************************\n"
            "  Class:\t\tCRegistryEx\n"
            "  Function:\tSetPath( )\n"
            "  Message:\tEmpty path parameter: \n"
            "  -> handle for the hive will be set to HKEY_CURRENT_USER and \n"
            "  -> path to the sub key will be set to \"Software\\ORLA software\". \n" +
                kFoot);
}

TEST(CRegistryExPath, HiveByShortOrLongNameInAnyCase) {
  CRegistryEx registry("HKCU\\x");
  EXPECT_TRUE(registry.SetPath("hklm\\Software\\Test"));
  EXPECT_EQ(registry.GetHive(), CRegistryEx::kHKeyLocalMachine);
  EXPECT_EQ(registry.GetSubKeyPath(), "Software\\Test");

  EXPECT_TRUE(registry.SetPath("HKEY_USERS\\.DEFAULT\\X"));
  EXPECT_EQ(registry.GetHive(), CRegistryEx::kHKeyUsers);
  EXPECT_EQ(registry.GetSubKeyPath(), ".DEFAULT\\X");

  EXPECT_TRUE(registry.SetPath("Hkey_Current_Config\\A"));
  EXPECT_EQ(registry.GetHive(), CRegistryEx::kHKeyCurrentConfig);
  EXPECT_TRUE(registry.SetPath("HKCR\\A"));
  EXPECT_EQ(registry.GetHive(), CRegistryEx::kHKeyClassesRoot);
}

TEST(CRegistryExPath, OnlyTheLeadingHiveNameIsRemoved) {
  CRegistryEx registry("HKCU\\Software\\HKCU\\X");
  EXPECT_EQ(registry.GetSubKeyPath(), "Software\\HKCU\\X");
  EXPECT_TRUE(registry.SetPath("HKCU"));
  EXPECT_EQ(registry.GetSubKeyPath(), "");
  EXPECT_TRUE(registry.SetPath("\\\\HKLM\\\\Software\\\\Y\\"));
  EXPECT_EQ(registry.GetSubKeyPath(), "Software\\Y");
}

TEST(CRegistryExPath, InvalidHiveAndUnsplittablePathAreReported) {
  DebugCapture capture;
  CRegistryEx registry("HKCU\\Keep");
  capture.Clear();
  EXPECT_FALSE(registry.SetPath("HKXX\\Software"));
  EXPECT_EQ(capture.Text(), kErrorHead + "  Class:\t\tCRegistryEx\n  Function:\tSetPath( )\n"
                                         "  Error:\tInvalid registry hive\n" + kFoot);
  capture.Clear();
  EXPECT_FALSE(registry.SetPath("\\\\"));
  EXPECT_EQ(capture.Text(), kErrorHead + "  Class:\t\tCRegistryEx\n  Function:\tSetPath( )\n"
                                         "  Error:\tFaild to split path parameter\n" + kFoot);
  EXPECT_EQ(registry.GetHive(), CRegistryEx::kHKeyCurrentUser);
  EXPECT_EQ(registry.GetSubKeyPath(), "Keep");
}

TEST_F(RegistryTest, ValuesRoundTripWithTheirTypes) {
  CRegistryEx registry("HKEY_CURRENT_USER\\Software\\ORLA Software");
  const std::string awkward = "  COM1 <&> \"'\t\r\n  ";
  ASSERT_TRUE(registry.WriteString("RS232", "device", awkward));
  ASSERT_TRUE(registry.WriteDWord("RS232", "baudrate", 0xFFFFFFFF));
  EXPECT_EQ(registry.ReadString("RS232", "device", "x"), awkward);
  EXPECT_EQ(registry.ReadDWord("RS232", "baudrate", 1), 0xFFFFFFFFu);
  EXPECT_EQ(registry.ReadWord("RS232", "baudrate", 1), 0xFFFFu);

  // Keys and value names compare without regard to case, as in the registry.
  CRegistryEx other("hkcu\\SOFTWARE\\orla software");
  EXPECT_EQ(other.ReadString("rs232", "DEVICE", "x"), awkward);
  // Another hive is another tree.
  CRegistryEx machine("HKLM\\Software\\ORLA Software");
  EXPECT_EQ(machine.ReadString("RS232", "device", "absent"), "absent");
}

TEST_F(RegistryTest, ADeletedKeyLosesItsValuesAndNothingElse) {
  CRegistryEx registry("HKCU\\Software\\ORLA Software");
  ASSERT_TRUE(registry.WriteString("RS232", "device", "COM3"));
  ASSERT_TRUE(registry.WriteDWord("RS232", "timeout", 500));
  ASSERT_TRUE(registry.WriteString("RS232\\Inner", "device", "COM4"));
  ASSERT_TRUE(registry.WriteString("Common", "AppExe", "x"));
  EXPECT_TRUE(CRegistryEx("HKCU\\software\\orla software").DeleteKey("rs232"));
  EXPECT_EQ(registry.ReadString("RS232", "device", "gone"), "gone");
  EXPECT_EQ(registry.ReadDWord("RS232", "timeout", 7), 7u);
  EXPECT_EQ(registry.ReadString("RS232\\Inner", "device", "gone"), "COM4");
  EXPECT_EQ(registry.ReadString("Common", "AppExe", "gone"), "x");
  EXPECT_TRUE(registry.DeleteKey("RS232"));  // once more: nothing to remove is no failure
}

TEST_F(RegistryTest, ValueOfAnotherTypeOrMissingReadsAsTheDefault) {
  CRegistryEx registry("HKCU\\Software\\ORLA Software");
  ASSERT_TRUE(registry.WriteString("RS232", "timeout", "500"));
  ASSERT_TRUE(registry.WriteDWord("RS232", "parity", 2));
  EXPECT_EQ(registry.ReadDWord("RS232", "timeout", 5000), 5000u);
  EXPECT_EQ(registry.ReadWord("RS232", "timeout", 10), 10);
  EXPECT_EQ(registry.ReadString("RS232", "parity", "even"), "even");
  EXPECT_EQ(registry.ReadString("RS232", "missing", "d"), "d");
  EXPECT_EQ(registry.ReadDWord("Nowhere", "x", 3), 3u);
}

TEST_F(RegistryTest, ATextLongerThanTheReadBufferReadsAsTheDefault) {
  CRegistryEx registry("HKCU\\Software\\ORLA Software");
  ASSERT_TRUE(registry.WriteString("K", "fits", std::string(2047, 'a')));
  ASSERT_TRUE(registry.WriteString("K", "long", std::string(2048, 'a')));
  EXPECT_EQ(registry.ReadString("K", "fits", "d").size(), 2047u);
  EXPECT_EQ(registry.ReadString("K", "long", "d"), "d");
}

TEST_F(RegistryTest, ValuesSurviveANewProcess) {
  const std::string command = std::string(STORE_WRITER) + " 3 saved";
  ASSERT_EQ(std::system(command.c_str()), 0);
  CRegistryEx registry("HKCU\\Software\\ORLA Software");
  EXPECT_EQ(registry.ReadDWord("Concurrency", "saved2", 99), 2u);
  EXPECT_EQ(registry.ReadDWord("Concurrency", "saved3", 99), 99u);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  const std::string writer = STORE_WRITER;
  const std::string command = "( " + writer + " 150 a & " + writer + " 150 b & " + writer +
                              " 150 c & wait ) && exit 0";
  ASSERT_EQ(std::system(command.c_str()), 0);
  CRegistryEx registry("HKCU\\Software\\ORLA Software");
  int missing = 0;
  for (const char* prefix : {"a", "b", "c"})
    for (std::uint32_t i = 0; i < 150; ++i)
      if (registry.ReadDWord("Concurrency", prefix + std::to_string(i), 999) != i) ++missing;
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(DamagedCopies(), 0);
}

// A writer killed between creating its temporary copy and renaming it leaves the copy behind;
// the next write clears it, and the copy never stands in for the store.
TEST_F(RegistryTest, TheNextWriteClearsTheCopiesOfWritersKilledWhileTheySaved) {
  CRegistryEx registry("HKCU\\Software\\ORLA Software");
  ASSERT_TRUE(registry.WriteString("RS232", "device", "COM2"));
  const auto halfWritten = std::filesystem::path(StoreFile()).concat(".tmp-Ab12Cd");
  const auto empty = std::filesystem::path(StoreFile()).concat(".tmp-000000");
  std::ofstream(halfWritten) << "<registry><key hive='HKEY_CURRENT_USER' path='Software\\ORLA Software\\RS232'>";
  std::ofstream(empty).close();

  EXPECT_EQ(registry.ReadString("RS232", "device", "COM1"), "COM2");
  ASSERT_TRUE(registry.WriteDWord("RS232", "timeout", 700));
  EXPECT_FALSE(std::filesystem::exists(halfWritten));
  EXPECT_FALSE(std::filesystem::exists(empty));
  EXPECT_EQ(registry.ReadString("RS232", "device", "COM1"), "COM2");
  EXPECT_EQ(registry.ReadDWord("RS232", "timeout", 5000), 700u);
  EXPECT_EQ(DamagedCopies(), 0);
}

TEST_F(RegistryTest, ADamagedStoreIsMovedAsideOnceAndTheStoreWorksOn) {
  for (const std::string& damage : {std::string("<registry><key hive='HKEY_CURRENT_USER' path="),
                                   std::string("\x01\x02 not xml at all"), std::string("<other/>")}) {
    std::ofstream(StoreFile(), std::ios::binary | std::ios::trunc) << damage;
    DebugCapture capture;
    CRegistryEx registry("HKCU\\Software\\ORLA Software");
    EXPECT_EQ(registry.ReadDWord("RS232", "timeout", 5000), 5000u);
    EXPECT_NE(capture.Text().find("Damaged store file"), std::string::npos) << capture.Text();
    capture.Clear();
    ASSERT_TRUE(registry.WriteDWord("RS232", "timeout", 700));
    EXPECT_EQ(registry.ReadDWord("RS232", "timeout", 5000), 700u);
    EXPECT_EQ(capture.Text(), "");
  }
  EXPECT_EQ(DamagedCopies(), 3);
}

// The program learns which file went where and what it held, as far as it can still be read.
TEST_F(RegistryTest, ADamagedStoreIsReportedOnceWithWhereItWentAndTheValuesItStillShows) {
  const std::string port = "<registry><key hive='HKEY_CURRENT_USER' path='Software\\ORLA Software\\RS232'>"
                           "<value name='device' type='REG_SZ' data='/dev/ttyUSB3'/>"
                           "<value name='timeout' type='REG_DWORD' data='700'/>"
                           "<value name='parity' type='REG_DWORD' data='even'/>";
  using Values = std::vector<std::tuple<std::string, std::string, std::string, std::string>>;
  const Values portValues = {{"HKEY_CURRENT_USER", "Software\\ORLA Software\\RS232", "device", "/dev/ttyUSB3"},
                             {"HKEY_CURRENT_USER", "Software\\ORLA Software\\RS232", "timeout", "700"}};
  const struct {
    const char* name;
    std::string damage;
    Values readable;
  } cases[] = {
      {"cut off in a value", port + "<value name='baudrate' type='REG_DWORD' da", portValues},
      {"cut off after a key", port + "</key><key hive='HKEY_CURRENT_USER' path='Other'><value", portValues},
      {"garbage", "\x01\x02 not xml at all", {}},
      {"another document", "<other><key path='x'><value name='a' type='REG_SZ' data='b'/></key></other>", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(StoreFile(), std::ios::binary | std::ios::trunc) << c.damage;
    DebugCapture quiet;
    CRegistryEx registry("HKCU\\Software\\ORLA Software");
    EXPECT_EQ(registry.ReadString("RS232", "device", "COM1"), "COM1");
    const std::optional<fennec::DamagedStore> damaged = fennec::TakeDamagedStore();
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->file, StoreFile().string());
    EXPECT_TRUE(damaged->movedTo.starts_with(StoreFile().string() + ".damaged-")) << damaged->movedTo;
    EXPECT_EQ(fennec::platform::ReadWholeFile(damaged->movedTo), c.damage);
    Values readable;
    for (const fennec::StoredValue& value : damaged->readable)
      readable.emplace_back(value.hive, value.key, value.name, value.data);
    EXPECT_EQ(readable, c.readable);
    EXPECT_FALSE(fennec::TakeDamagedStore()) << "taken once";

    // The new store is sound: nothing more to report.
    ASSERT_TRUE(registry.WriteDWord("RS232", "timeout", 700));
    EXPECT_EQ(registry.ReadDWord("RS232", "timeout", 5000), 700u);
    EXPECT_FALSE(fennec::TakeDamagedStore());
  }
}

TEST_F(RegistryTest, AnEmptyOrMissingStoreReadsAsEmptyWithoutReport) {
  DebugCapture capture;
  CRegistryEx registry("HKCU\\Software\\ORLA Software");
  EXPECT_EQ(registry.ReadString("RS232", "device", "COM1"), "COM1");
  std::ofstream(StoreFile(), std::ios::trunc).close();
  capture.Clear();
  ASSERT_TRUE(registry.WriteString("RS232", "device", "COM2"));
  EXPECT_EQ(registry.ReadString("RS232", "device", "COM1"), "COM2");
}
