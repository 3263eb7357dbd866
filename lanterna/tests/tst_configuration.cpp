#include <gtest/gtest.h>

#include <cstdlib>

#include "Common/ModuleVersion.h"
#include "TempFolder.h"
#include "app/Configuration.h"
#include "app/DeviceLink.h"

using namespace lanterna;

TEST(IniPath, NextToTheProgramWithAnUpperCaseName) {
  EXPECT_EQ(IniPath("/opt/orla/bin", std::nullopt), "/opt/orla/bin/LANTERNA.INI");
  EXPECT_EQ(IniPath("/opt/orla/bin/", std::nullopt), "/opt/orla/bin/LANTERNA.INI");
  EXPECT_EQ(IniPath("/opt/orla/bin", std::string()), "/opt/orla/bin/LANTERNA.INI");
}

TEST(IniPath, AppExeKeepsItsFolderAndReplacesTheExtension) {
  EXPECT_EQ(IniPath("/ignored", std::string("/srv/Tools/lanterna.exe")), "/srv/Tools/LANTERNA.INI");
  EXPECT_EQ(IniPath("/ignored", std::string("C:\\Program Files\\Orla\\Lanterna.Exe")),
            "C:\\Program Files\\Orla\\LANTERNA.INI");
  EXPECT_EQ(IniPath("/ignored", std::string("/srv/mixedCase/lanterna")), "/srv/mixedCase/LANTERNA.INI");
  EXPECT_EQ(IniPath("/ignored", std::string("other.exe")), "OTHER.INI");
}

TEST(ModuleVersion, TextOfVersionAndBuildDate) {
  EXPECT_EQ(ModuleVersionText("4.5.0", "Dec  7 2026 11:00:00"), "4.5.0 (Dec  7 2026 11:00:00)");
  EXPECT_EQ(fennec::LibraryFileVersion(), "4.5.0");
  EXPECT_FALSE(fennec::LibraryBuildDate().empty());
}

class ProgramRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("FENNEC_REGISTRY", (m_folder.Path() / "registry.xml").c_str(), 1); }
  void TearDown() override { unsetenv("FENNEC_REGISTRY"); }

 private:
  TempFolder m_folder;
};

TEST_F(ProgramRegistryTest, AppExeIsAbsentUntilSetAndAnEmptyValueIsKept) {
  CProgramRegistry registry;
  EXPECT_EQ(registry.AppExe(), std::nullopt);
  cutils::CRegistryEx(kProgramRegistryKey).WriteString("Common", "AppExe", "");
  EXPECT_EQ(registry.AppExe(), std::optional<std::string>(""));
  cutils::CRegistryEx(kProgramRegistryKey).WriteString("Common", "AppExe", "/x/lanterna.exe");
  EXPECT_EQ(registry.AppExe(), std::optional<std::string>("/x/lanterna.exe"));
}

TEST_F(ProgramRegistryTest, VersionsAndLogFolderAreStoredUnderTheProgramKey) {
  CProgramRegistry registry;
  registry.WriteVersions("4.5.0 (a)", "4.5.0 (b)");
  const cutils::CRegistryEx key(kProgramRegistryKey);
  EXPECT_EQ(key.ReadString("Version", "ProductVersion", ""), "4.5");
  EXPECT_EQ(key.ReadString("Version", "LANTERNA.EXE", ""), "4.5.0 (a)");
  EXPECT_EQ(key.ReadString("Version", "FENNEC.DLL", ""), "4.5.0 (b)");
  EXPECT_EQ(registry.LogFolder("/home/tech/Documents"), "/home/tech/Documents");
  registry.SetLogFolder("/tmp/logs");
  EXPECT_EQ(registry.LogFolder("/home/tech/Documents"), "/tmp/logs");
}

TEST_F(ProgramRegistryTest, AStoredPortKeepsEveryCharacterOfItsName) {
  SerialPortSettings settings = StoredSerialSettings();
  for (const std::string device : {"/dev/serial/by-id/usb-\"FTDI\"_A'B", "a\tb", "x<y>&z"}) {
    settings.device = device;
    ASSERT_TRUE(StoreSerialSettings(settings)) << device;
    EXPECT_EQ(StoredSerialSettings(), settings) << device;
  }
}
