#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Communication/SettingsBase.h"
#include "Platform/DebugOutput.h"
#include "VtableSlots.h"

namespace {

// A settings object that records which storage slot the base dispatched to.
class CRecordingSettings : public ORLA::CSettingsBase {
 public:
  std::vector<std::string> calls;
  std::string current = "<X/>";

  std::string GetSettingsXML() override { return current; }
  bool SetSettingsXML(std::string xml) override {
    calls.push_back("SetSettingsXML " + xml);
    current = xml;
    return xml != "bad";
  }
  std::string GetSettingsString() override { return {}; }
  std::string GetSettingsValue(const char*) override { return {}; }
  std::string GetDriverInfo() override { return "1.0"; }
  bool LoadSettingsRegistry(std::string path) override { return Record("LoadSettingsRegistry", path); }
  bool SaveSettingsRegistry(std::string path) override { return Record("SaveSettingsRegistry", path); }
  bool LoadSettingsXML(std::string path) override { return Record("LoadSettingsXML", path); }
  bool SaveSettingsXML(std::string path) override { return Record("SaveSettingsXML", path); }

 private:
  bool Record(const std::string& slot, const std::string& path) {
    calls.push_back(slot + " " + path);
    return true;
  }
};

const std::string kInvalidTypeHead =
    "\n*********************** ERROR ***********************\n  Class:\t\tISettings\n";
const std::string kInvalidTypeFoot = "\n*****************************************************\n";

}  // namespace

TEST(SettingsLayout, SlotOrderOfTheSettingsInterface) {
  using ORLA::ISettings;
  using Path = std::string;
  using Type = ISettings::ENStorageType;
  EXPECT_EQ(Slot(static_cast<bool (ISettings::*)(Path, Type)>(&ISettings::LoadSettings)), 1u);
  EXPECT_EQ(Slot(static_cast<bool (ISettings::*)()>(&ISettings::LoadSettings)), 2u);
  EXPECT_EQ(Slot(static_cast<bool (ISettings::*)(Path, Type)>(&ISettings::SaveSettings)), 3u);
  EXPECT_EQ(Slot(static_cast<bool (ISettings::*)()>(&ISettings::SaveSettings)), 4u);
  EXPECT_EQ(Slot(&ISettings::SetStorageProperties), 5u);
  EXPECT_EQ(Slot(&ISettings::GetStorageProperties), 6u);
  EXPECT_EQ(Slot(&ISettings::GetSettingsXML), 7u);
  EXPECT_EQ(Slot(&ISettings::SetSettingsXML), 8u);
  EXPECT_EQ(Slot(&ISettings::SetSettingsToDefault), 9u);
  EXPECT_EQ(Slot(&ISettings::SetDefaultSettings), 10u);
  EXPECT_EQ(Slot(&ISettings::GetDefaultSettings), 11u);
  EXPECT_EQ(Slot(&ISettings::GetSettingsString), 12u);
  EXPECT_EQ(Slot(&ISettings::GetSettingsValue), 13u);
  EXPECT_EQ(Slot(&ISettings::GetDriverInfo), 14u);
  EXPECT_EQ(Slot(&ISettings::LoadSettingsRegistry), 15u);
  EXPECT_EQ(Slot(&ISettings::SaveSettingsRegistry), 16u);
  EXPECT_EQ(Slot(&ISettings::LoadSettingsXML), 17u);
  EXPECT_EQ(Slot(&ISettings::SaveSettingsXML), 18u);
}

TEST(CSettingsBase, StartsEmptyWithRegistryStorage) {
  CRecordingSettings settings;
  std::string path = "x";
  ORLA::ISettings::ENStorageType type = ORLA::ISettings::XMLFile;
  settings.GetStorageProperties(path, type);
  EXPECT_EQ(path, "");
  EXPECT_EQ(type, ORLA::ISettings::Registry);
  EXPECT_EQ(settings.GetDefaultSettings(), "");
}

TEST(CSettingsBase, LoadAndSaveDispatchByStorageType) {
  CRecordingSettings settings;
  EXPECT_TRUE(settings.LoadSettings("HKCU\\A", ORLA::ISettings::Registry));
  EXPECT_TRUE(settings.SaveSettings("HKCU\\B", ORLA::ISettings::Registry));
  EXPECT_TRUE(settings.LoadSettings("f.xml", ORLA::ISettings::XMLFile));
  EXPECT_TRUE(settings.SaveSettings("g.xml", ORLA::ISettings::XMLFile));
  settings.SetStorageProperties("HKLM\\Stored", ORLA::ISettings::Registry);
  EXPECT_TRUE(settings.LoadSettings());
  settings.SetStorageProperties("stored.xml", ORLA::ISettings::XMLFile);
  EXPECT_TRUE(settings.SaveSettings());
  EXPECT_EQ(settings.calls, (std::vector<std::string>{
                                "LoadSettingsRegistry HKCU\\A", "SaveSettingsRegistry HKCU\\B",
                                "LoadSettingsXML f.xml", "SaveSettingsXML g.xml",
                                "LoadSettingsRegistry HKLM\\Stored", "SaveSettingsXML stored.xml"}));
}

TEST(CSettingsBase, InvalidStorageTypeFailsWithReportAndChangesNothing) {
  CRecordingSettings settings;
  fennec::platform::DebugCapture capture;
  EXPECT_FALSE(settings.LoadSettings("", static_cast<ORLA::ISettings::ENStorageType>(3)));
  EXPECT_EQ(capture.Text(), kInvalidTypeHead + "  Function:\tLoadSettings( )\n" +
                                "  Error:\t\tInvalid storage type '3" + kInvalidTypeFoot);
  capture.Clear();
  EXPECT_FALSE(settings.SaveSettings("", static_cast<ORLA::ISettings::ENStorageType>(0)));
  EXPECT_EQ(capture.Text(), kInvalidTypeHead + "  Function:\tSaveSettings( )\n" +
                                "  Error:\t\tInvalid storage type '0" + kInvalidTypeFoot);
  EXPECT_TRUE(settings.calls.empty());
  EXPECT_EQ(settings.current, "<X/>");
}

TEST(CSettingsBase, DefaultDocumentIsStoredAndApplied) {
  CRecordingSettings settings;
  EXPECT_TRUE(settings.SetDefaultSettings("<X a='1'/>"));
  EXPECT_EQ(settings.GetDefaultSettings(), "<X a='1'/>");
  EXPECT_EQ(settings.current, "<X a='1'/>");
  settings.current = "<X a='2'/>";
  EXPECT_TRUE(settings.SetSettingsToDefault());
  EXPECT_EQ(settings.current, "<X a='1'/>");
  EXPECT_FALSE(settings.SetDefaultSettings("bad"));
}

TEST(CSettingsBase, CopyTakesAllThreeFields) {
  CRecordingSettings original;
  original.SetDefaultSettings("<X d='1'/>");
  original.SetStorageProperties("HKCU\\P", ORLA::ISettings::XMLFile);
  CRecordingSettings copy = original;
  std::string path;
  ORLA::ISettings::ENStorageType type = ORLA::ISettings::Registry;
  copy.GetStorageProperties(path, type);
  EXPECT_EQ(path, "HKCU\\P");
  EXPECT_EQ(type, ORLA::ISettings::XMLFile);
  EXPECT_EQ(copy.GetDefaultSettings(), "<X d='1'/>");
}
