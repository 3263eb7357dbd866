#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Common/RegistyEx.h"
#include "Communication/TCPIPConnection.h"
#include "Platform/DebugOutput.h"
#include "TempFolder.h"

using fennec::platform::DebugCapture;
using ORLA::CTCPIPConnection;

namespace {

const std::string kDefaultDocument =
    "<?xml version='1.0'?><TCPIP IP-Address='192.168.1.111' ServicePort='6626' CloseWaitTime='200' "
    "SendTimeoutSeconds='10' ReceiveTimeoutSeconds='10' RestartTimeoutSeconds='10' LengthPos='16' SizeOfLength='2' "
    "LengthCorrection='0' IdentifyByName='false' NameResolution='false' NetworkName='' timeout='5000' />";

const std::string kDefaults =
    "<?xml version='1.0'?><TCPIP IP-Address='192.168.1.111' ServicePort='6626' CloseWaitTime='200' "
    "SendTimeoutSeconds='10' ReceiveTimeoutSeconds='10' RestartTimeoutSeconds='10' LengthPos='16' SizeOfLength='2' "
    "LengthCorrection='0' IdentifyByName='false' NameResolution='false' NetworkName='' />";

}  // namespace

TEST(CTCPIPConnectionSettings, NewObjectHoldsTheDefaults) {
  CTCPIPConnection connection;
  EXPECT_EQ(connection.GetDefaultSettings(), kDefaultDocument);
  EXPECT_EQ(connection.GetSettingsXML(), kDefaults);
  EXPECT_EQ(connection.GetSettingsString(), "192.168.1.111; 6626; 200; 10; 10; 10; 16; 2; 0; ");
  EXPECT_EQ(connection.GetType(), "TCPIP");
  EXPECT_EQ(connection.GetDriverInfo(), "1.0");
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_EQ(static_cast<unsigned int>(connection), 0u);
  EXPECT_EQ(connection.GetLastErrorCode(), 0u);
  EXPECT_EQ(connection.GetSettingsValue("ServicePort"), "6626");
  EXPECT_EQ(connection.GetSettingsValue("timeout"), "ERROR");  // not one of this transport's settings
}

TEST(CTCPIPConnectionSettings, SetSettingsXMLChangesOnlyWhatItNames) {
  CTCPIPConnection connection;
  ASSERT_TRUE(connection.SetSettingsXML(
      "<?xml version='1.0'?> <TCPIP ServicePort='0x1A00' LengthCorrection='-8' IdentifyByName='TRUE' "
      "NameResolution='yes' NetworkName='coupler-7'/>"));
  EXPECT_EQ(connection.GetSettingsXML(),
            "<?xml version='1.0'?><TCPIP IP-Address='192.168.1.111' ServicePort='6656' CloseWaitTime='200' "
            "SendTimeoutSeconds='10' ReceiveTimeoutSeconds='10' RestartTimeoutSeconds='10' LengthPos='16' "
            "SizeOfLength='2' LengthCorrection='-8' IdentifyByName='true' NameResolution='false' "
            "NetworkName='coupler-7' />");
  EXPECT_EQ(connection.GetSettingsString(), "192.168.1.111; 6656; 200; 10; 10; 10; 16; 2; -8; ");
}

TEST(CTCPIPConnectionSettings, DocumentsThatCannotBeUsed) {
  CTCPIPConnection connection;
  DebugCapture capture;
  EXPECT_FALSE(connection.SetSettingsXML("<TCPIP"));
  EXPECT_NE(capture.Text().find("###  Class:     CTCPIPConnection\n###  Function:  tSetSettingsXML( )\n"),
            std::string::npos);
  capture.Clear();
  EXPECT_ANY_THROW(connection.SetSettingsXML("<RS232 timeout='1'/>"));  // no TCPIP element
  EXPECT_NE(capture.Text().find("###  Error:     _com_error\n"), std::string::npos);
  capture.Clear();
  // The number is refused, the port read before it stays.
  EXPECT_THROW(connection.SetSettingsXML("<TCPIP ServicePort='80' CloseWaitTime='soon'/>"), std::string);
  EXPECT_NE(capture.Text().find("###  Error:     Unknown Exception!"), std::string::npos);
  EXPECT_EQ(connection.GetSettingsValue("ServicePort"), "80");
  EXPECT_EQ(connection.GetSettingsValue("CloseWaitTime"), "200");
}

TEST(CTCPIPConnectionSettings, SettingsFilesAreNotOffered) {
  CTCPIPConnection connection;
  DebugCapture capture;
  EXPECT_FALSE(connection.LoadSettingsXML("a.xml"));
  EXPECT_FALSE(connection.SaveSettingsXML("b.xml"));
  EXPECT_EQ(capture.Text(),
            "\n*************************** INFO ****************************\n  Class:\t\tCTCPIPConnection\n"
            "  Function:\tLoadSettingsXML(a.xml )\n  Message:\tLoading settings from XML-File not yet implemented!\n"
            "*************************************************************\n\n"
            "\n*************************** INFO ****************************\n  Class:\t\tCTCPIPConnection\n"
            "  Function:\tSaveSettingsXML(b.xml )\n  Message:\tSaving settings to XML-File not yet implemented!\n"
            "*************************************************************\n\n");
}

TEST(CTCPIPConnectionSettings, ProbeTimeOutsLastUntilRestored) {
  CTCPIPConnection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<TCPIP SendTimeoutSeconds='7' ReceiveTimeoutSeconds='0' CloseWaitTime='5'/>"));
  connection.ApplyProbeTimeouts();
  EXPECT_EQ(connection.GetSettingsValue("SendTimeoutSeconds"), "1");
  EXPECT_EQ(connection.GetSettingsValue("ReceiveTimeoutSeconds"), "1");
  EXPECT_EQ(connection.GetSettingsValue("CloseWaitTime"), "5");
  connection.RestoreTimeouts();
  EXPECT_EQ(connection.GetSettingsValue("SendTimeoutSeconds"), "7");
  EXPECT_EQ(connection.GetSettingsValue("ReceiveTimeoutSeconds"), "0");
  connection.RestoreTimeouts();  // nothing kept any more: nothing changes
  EXPECT_EQ(connection.GetSettingsValue("SendTimeoutSeconds"), "7");
  {
    ORLA::CScopedProbeTimeouts probe(connection);
    EXPECT_EQ(connection.GetSettingsValue("SendTimeoutSeconds"), "1");
  }
  EXPECT_EQ(connection.GetSettingsValue("SendTimeoutSeconds"), "7");
}

class CTCPIPConnectionRegistry : public ::testing::Test {
 protected:
  void SetUp() override { setenv("FENNEC_REGISTRY", (m_folder.Path() / "registry.xml").c_str(), 1); }
  void TearDown() override { unsetenv("FENNEC_REGISTRY"); }

  static constexpr const char* kPath = "HKEY_CURRENT_USER\\Software\\Test";
  TempFolder m_folder;
};

TEST_F(CTCPIPConnectionRegistry, SavesAllButTheFramingValues) {
  CTCPIPConnection saved;
  ASSERT_TRUE(saved.SetSettingsXML(
      "<TCPIP IP-Address='10.0.0.7' ServicePort='7000' CloseWaitTime='50' SendTimeoutSeconds='3' "
      "ReceiveTimeoutSeconds='4' RestartTimeoutSeconds='30' LengthPos='4' SizeOfLength='4' LengthCorrection='-8' "
      "IdentifyByName='true' NameResolution='true' NetworkName='plc'/>"));
  EXPECT_TRUE(saved.SaveSettingsRegistry(kPath));

  const cutils::CRegistryEx registry(kPath);
  EXPECT_EQ(registry.ReadString("TCPIP", "IP-Address", ""), "10.0.0.7");
  EXPECT_EQ(registry.ReadString("TCPIP", "NetworkName", ""), "plc");
  EXPECT_EQ(registry.ReadDWord("TCPIP", "ServicePort", 0), 7000u);
  EXPECT_EQ(registry.ReadDWord("TCPIP", "RestartTimeoutSeconds", 0), 30u);
  EXPECT_EQ(registry.ReadDWord("TCPIP", "IdentifyByName", 0), 1u);
  for (const char* framing : {"LengthPos", "SizeOfLength", "LengthCorrection"})
    EXPECT_EQ(registry.ReadDWord("TCPIP", framing, 12345), 12345u) << framing;

  CTCPIPConnection loaded;
  EXPECT_TRUE(loaded.LoadSettingsRegistry(kPath));
  EXPECT_EQ(loaded.GetSettingsString(), "10.0.0.7; 7000; 50; 3; 4; 30; 16; 2; 0; ");
}

TEST_F(CTCPIPConnectionRegistry, LoadsTheFramingValuesWhereTheyAreStored) {
  cutils::CRegistryEx registry(kPath);
  ASSERT_TRUE(registry.WriteDWord("TCPIP", "LengthPos", 4));
  ASSERT_TRUE(registry.WriteDWord("TCPIP", "LengthCorrection", 0xFFFFFFF8));  // -8 in the low 16 bits
  ASSERT_TRUE(registry.WriteDWord("TCPIP", "NameResolution", 0x10000));       // low 16 bits zero: false
  ASSERT_TRUE(registry.WriteString("TCPIP", "ServicePort", "not a number"));  // wrong type: kept
  CTCPIPConnection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<TCPIP NameResolution='true'/>"));
  EXPECT_TRUE(connection.LoadSettingsRegistry(kPath));
  EXPECT_EQ(connection.GetSettingsString(), "192.168.1.111; 6626; 200; 10; 10; 10; 4; 2; -8; ");
  EXPECT_EQ(connection.GetSettingsValue("NameResolution"), "false");
}
