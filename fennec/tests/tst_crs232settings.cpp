#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Common/ComError.h"
#include "Common/RegistyEx.h"
#include "Communication/RS232Connection.h"
#include "Communication/RS232Words.h"
#include "Platform/DebugOutput.h"
#include "TempFolder.h"

using fennec::platform::DebugCapture;
using ORLA::CRS232Connection;

namespace {

const std::string kDefaults =
    "<?xml version='1.0'?><RS232 device='COM1' baudrate='19200' parity='even' databits='8' stopbits='1' "
    "timeout='5000' inbuf-size='4096' outbuf-size='4096' dsr_flow='false' cts_flow='false' "
    "dtr_control='disable' rts_control='disable' asynchron='true' RestartTimeoutSeconds='10' />";

// The default document with one attribute changed.
std::string DefaultsWith(const std::string& from, const std::string& to) {
  std::string xml = kDefaults;
  const std::size_t at = xml.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? xml : xml.replace(at, from.size(), to);
}

const std::string kXmlErrorHead = "\n############################# ERROR #############################\n";
const std::string kXmlErrorFoot = "\n#################################################################\n\n";
const std::string kErrorHead = "\n*************************** ERROR ***************************\n";
const std::string kFoot = "*************************************************************\n\n";

std::string WordReport(const std::string& function, const std::string& errorLine, const std::string& word) {
  return kErrorHead + "  Class:\t\tCRS232Connection\n  Function:\t" + function + "( )\n  Error:\t\t" + errorLine + " '" +
         word + "'\n" + kFoot;
}

}  // namespace

TEST(CRS232ConnectionSettings, NewObjectHoldsTheDefaults) {
  CRS232Connection connection;
  EXPECT_EQ(connection.GetSettingsXML(), kDefaults);
  EXPECT_EQ(connection.GetDefaultSettings(), kDefaults);
  EXPECT_EQ(connection.GetSettingsString(), "COM1: 19200, e, 8, 1");
  EXPECT_EQ(connection.GetType(), "RS232");
  EXPECT_EQ(connection.GetDriverInfo(), "1.0");
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_EQ(connection.GetLastErrorCode(), 0u);
  std::string path = "x";
  ORLA::ISettings::ENStorageType type = ORLA::ISettings::XMLFile;
  connection.GetStorageProperties(path, type);
  EXPECT_EQ(path, "");
  EXPECT_EQ(type, ORLA::ISettings::Registry);
}

TEST(CRS232ConnectionSettings, SetSettingsXMLChangesOnlyWhatItNames) {
  CRS232Connection connection;
  EXPECT_TRUE(connection.SetSettingsXML("<?xml version='1.0'?> <RS232 timeout='500'/>"));
  EXPECT_EQ(connection.GetSettingsXML(), DefaultsWith("timeout='5000'", "timeout='500'"));
  // The first element of that name anywhere in the document counts.
  EXPECT_TRUE(connection.SetSettingsXML("<Settings><Other/><RS232 parity='odd'/><RS232 parity='none'/></Settings>"));
  EXPECT_EQ(connection.GetSettingsValue("parity"), "odd");
  EXPECT_EQ(connection.GetSettingsValue("timeout"), "500");
}

TEST(CRS232ConnectionSettings, AttributesAreParsedIntoTheirFields) {
  struct Row {
    const char* before;  // applied first, so that a row can show a change to a default value
    const char* xml;
    const char* attribute;
    const char* expected;
  };
  const Row rows[] = {
      {"<RS232 baudrate='9600'/>", "<RS232 baudrate='0x4B00'/>", "baudrate", "19200"},
      {"", "<RS232 timeout='0X1f4'/>", "timeout", "500"},
      // databits and RestartTimeoutSeconds are 16 bits wide.
      {"", "<RS232 databits='0x10007'/>", "databits", "7"},
      {"", "<RS232 RestartTimeoutSeconds='-1'/>", "RestartTimeoutSeconds", "65535"},
      // Booleans take true and false in any case; any other text leaves the field.
      {"", "<RS232 asynchron='yes'/>", "asynchron", "true"},
      {"", "<RS232 asynchron='FALSE'/>", "asynchron", "false"},
      {"", "<RS232 cts_flow='True'/>", "cts_flow", "true"},
      {"", "<RS232 dsr_flow='1'/>", "dsr_flow", "false"},
      // Words are taken as they stand; they are looked up only when the port opens.
      {"", "<RS232 parity='Bogus' stopbits='1,5'/>", "parity", "Bogus"},
  };
  for (const Row& row : rows) {
    CRS232Connection connection;
    if (*row.before != '\0') {
      ASSERT_TRUE(connection.SetSettingsXML(row.before));
    }
    ASSERT_TRUE(connection.SetSettingsXML(row.xml)) << row.xml;
    EXPECT_EQ(connection.GetSettingsValue(row.attribute), row.expected) << row.xml;
  }
}

TEST(CRS232ConnectionSettings, DocumentThatCannotBeLoadedIsReportedAndRefused) {
  CRS232Connection connection;
  DebugCapture capture;
  EXPECT_FALSE(connection.SetSettingsXML("<RS232 timeout='1'"));
  EXPECT_EQ(capture.Text(), kXmlErrorHead + "###  Class:     CRS232Connection\n###  Function:  tSetSettingsXML( )\n"
                                            "###  Error:     xmlDOMHelper.LoadByString( ) failed for\n"
                                            "###             <RS232 timeout='1'" +
                                kXmlErrorFoot);
  EXPECT_EQ(connection.GetSettingsXML(), kDefaults);
}

TEST(CRS232ConnectionSettings, MissingElementIsReportedAndPassedOn) {
  CRS232Connection connection;
  DebugCapture capture;
  try {
    connection.SetSettingsXML("<?xml version='1.0'?><TCPIP timeout='1'/>");
    ADD_FAILURE() << "no exception";
  } catch (const CComError& error) {
    EXPECT_EQ(error.Error(), 0x80004003u);
  }
  EXPECT_EQ(capture.Text(), kXmlErrorHead + "###  Class:     CRS232Connection\n###  Function:  SetSettingsXML( )\n"
                                            "###  Error:     _com_error\n"
                                            "###             Code    = 0x80004003\n"
                                            "###             Meaning = Invalid pointer" +
                                kXmlErrorFoot);
}

TEST(CRS232ConnectionSettings, NumberThatCannotBeParsedKeepsWhatWasReadBefore) {
  CRS232Connection connection;
  DebugCapture capture;
  try {
    connection.SetSettingsXML("<RS232 device='ttyUSB3' baudrate='fast' parity='odd'/>");
    ADD_FAILURE() << "no exception";
  } catch (const std::string& error) {
    EXPECT_EQ(error, "GenStrToNumber failed: 'fast'");
  }
  EXPECT_EQ(connection.GetSettingsValue("device"), "ttyUSB3");
  EXPECT_EQ(connection.GetSettingsValue("baudrate"), "19200");
  EXPECT_EQ(connection.GetSettingsValue("parity"), "even");
  EXPECT_EQ(capture.Text(), kXmlErrorHead + "###  Class:     CRS232Connection\n###  Function:  SetSettingsXML( )\n"
                                            "###  Error:     Unknown Exception!" +
                                kXmlErrorFoot);
}

TEST(CRS232ConnectionSettings, SummaryAndSingleValues) {
  CRS232Connection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='COM3' parity='Odd' stopbits='1,5' databits='7'/>"));
  EXPECT_EQ(connection.GetSettingsString(), "COM3: 19200, O, 7, 1,5");
  EXPECT_EQ(connection.GetSettingsValue("RestartTimeoutSeconds"), "10");
  EXPECT_EQ(connection.GetSettingsValue("inbuf-size"), "4096");
  EXPECT_EQ(connection.GetSettingsValue("nothing"), "ERROR");
}

TEST(CRS232ConnectionSettings, ValuesWithMarkupAndLineBreaksSurviveTheDocument) {
  const struct {
    const char* attribute;  // as the document gives it
    const char* value;
  } cases[] = {
      {"\"it's &lt;&amp;&gt;\"", "it's <&>"},
      // The parser makes blanks of tabs and line ends written as they are, not of references.
      {"'a&#9;b'", "a\tb"},
      {"'line&#10;break&#13;'", "line\nbreak\r"},
  };
  for (const auto& c : cases) {
    CRS232Connection connection;
    ASSERT_TRUE(connection.SetSettingsXML(std::string("<RS232 device=") + c.attribute + "/>")) << c.attribute;
    EXPECT_EQ(connection.GetSettingsValue("device"), c.value) << c.attribute;
    CRS232Connection other;
    ASSERT_TRUE(other.SetSettingsXML(connection.GetSettingsXML())) << c.attribute;
    EXPECT_EQ(other.GetSettingsValue("device"), c.value) << c.attribute;
    EXPECT_EQ(other.GetSettingsXML(), connection.GetSettingsXML()) << c.attribute;
  }
}

TEST(CRS232ConnectionSettings, XmlFilesAreNotOffered) {
  CRS232Connection connection;
  DebugCapture capture;
  EXPECT_FALSE(connection.LoadSettingsXML("a.xml"));
  EXPECT_FALSE(connection.SaveSettingsXML("b.xml"));
  const std::string head = "\n*************************** INFO ****************************\n  Class:\t\tCRS232Connection\n";
  EXPECT_EQ(capture.Text(), head + "  Function:\tLoadSettingsXML(a.xml )\n"
                                   "  Message:\tLoading settings from XML-File not yet implemented!\n" +
                                kFoot + head +
                                "  Function:\tSaveSettingsXML(b.xml )\n"
                                "  Message:\tSaving settings to XML-File not yet implemented!\n" +
                                kFoot);
  EXPECT_FALSE(connection.LoadSettings("c.xml", ORLA::ISettings::XMLFile));
}

class CRS232ConnectionRegistry : public ::testing::Test {
 protected:
  void SetUp() override { setenv("FENNEC_REGISTRY", (m_folder.Path() / "registry.xml").c_str(), 1); }
  void TearDown() override { unsetenv("FENNEC_REGISTRY"); }

  static constexpr const char* kPath = "HKEY_CURRENT_USER\\Software\\Fennec Test";

 private:
  TempFolder m_folder;
};

TEST_F(CRS232ConnectionRegistry, RoundTripThroughTheStore) {
  CRS232Connection saved;
  ASSERT_TRUE(saved.SetSettingsXML(
      "<RS232 device='ttyUSB1' baudrate='57600' parity='mark' databits='7' stopbits='2' timeout='750' "
      "inbuf-size='100' outbuf-size='200' dsr_flow='true' cts_flow='true' dtr_control='enable' "
      "rts_control='toggle' asynchron='false' RestartTimeoutSeconds='30'/>"));
  EXPECT_TRUE(saved.SaveSettingsRegistry(kPath));

  CRS232Connection loaded;
  EXPECT_TRUE(loaded.LoadSettingsRegistry(kPath));
  EXPECT_EQ(loaded.GetSettingsXML(), saved.GetSettingsXML());

  // Words as strings, numbers and booleans as 32-bit values.
  const cutils::CRegistryEx registry(kPath);
  EXPECT_EQ(registry.ReadString("RS232", "parity", "?"), "mark");
  EXPECT_EQ(registry.ReadString("RS232", "stopbits", "?"), "2");
  EXPECT_EQ(registry.ReadDWord("RS232", "baudrate", 0), 57600u);
  EXPECT_EQ(registry.ReadDWord("RS232", "databits", 0), 7u);
  EXPECT_EQ(registry.ReadDWord("RS232", "asynchron", 7), 0u);
  EXPECT_EQ(registry.ReadDWord("RS232", "dsr_flow", 7), 1u);
  EXPECT_EQ(registry.ReadString("RS232", "baudrate", "not a string"), "not a string");
}

TEST_F(CRS232ConnectionRegistry, LoadKeepsFieldsWithoutAUsableValue) {
  cutils::CRegistryEx registry(kPath);
  registry.WriteString("RS232", "baudrate", "9600");     // a string where a number belongs
  registry.WriteDWord("RS232", "parity", 1);             // a number where a word belongs
  registry.WriteDWord("RS232", "asynchron", 0x10000);    // low 16 bits zero: false
  registry.WriteDWord("RS232", "cts_flow", 0x10001);     // low 16 bits one: true
  registry.WriteDWord("RS232", "databits", 0x10007);     // 16 bits wide: 7
  CRS232Connection connection;
  EXPECT_TRUE(connection.LoadSettingsRegistry(kPath));
  EXPECT_EQ(connection.GetSettingsXML(),
            "<?xml version='1.0'?><RS232 device='COM1' baudrate='19200' parity='even' databits='7' stopbits='1' "
            "timeout='5000' inbuf-size='4096' outbuf-size='4096' dsr_flow='false' cts_flow='true' "
            "dtr_control='disable' rts_control='disable' asynchron='false' RestartTimeoutSeconds='10' />");
}

TEST_F(CRS232ConnectionRegistry, EmptyPathMeansTheDefaultKey) {
  CRS232Connection connection;
  ASSERT_TRUE(connection.SetSettingsXML("<RS232 device='ttyACM0'/>"));
  EXPECT_TRUE(connection.SaveSettingsRegistry(""));
  const cutils::CRegistryEx registry("HKEY_CURRENT_USER\\Software\\ORLA Software");
  EXPECT_EQ(registry.ReadString("RS232", "device", "?"), "ttyACM0");
  CRS232Connection loaded;
  EXPECT_TRUE(loaded.LoadSettings());  // stored properties: registry, empty path
  EXPECT_EQ(loaded.GetSettingsValue("device"), "ttyACM0");
}

TEST(RS232Words, EveryRowOfTheTablesInAnyCase) {
  using namespace fennec::rs232;
  using fennec::platform::DtrControl;
  using fennec::platform::Parity;
  using fennec::platform::RtsControl;
  using fennec::platform::StopBits;
  DebugCapture capture;
  for (const char* word : {"EVEN", "even", "E", "e"}) EXPECT_EQ(ParityToDCBValue(word), Parity::Even) << word;
  for (const char* word : {"None", "n"}) EXPECT_EQ(ParityToDCBValue(word), Parity::None) << word;
  for (const char* word : {"odd", "O"}) EXPECT_EQ(ParityToDCBValue(word), Parity::Odd) << word;
  for (const char* word : {"MARK", "m"}) EXPECT_EQ(ParityToDCBValue(word), Parity::Mark) << word;
  for (const char* word : {"space", "S"}) EXPECT_EQ(ParityToDCBValue(word), Parity::Space) << word;

  EXPECT_EQ(StopBitsToDCBValue("1"), StopBits::One);
  EXPECT_EQ(StopBitsToDCBValue(""), StopBits::One);
  EXPECT_EQ(StopBitsToDCBValue("1.5"), StopBits::OnePointFive);
  EXPECT_EQ(StopBitsToDCBValue("1,5"), StopBits::OnePointFive);
  EXPECT_EQ(StopBitsToDCBValue("2"), StopBits::Two);

  EXPECT_EQ(DTRControlToDCBValue("DISABLE"), DtrControl::Disable);
  EXPECT_EQ(DTRControlToDCBValue("enable"), DtrControl::Enable);
  EXPECT_EQ(DTRControlToDCBValue("Handshake"), DtrControl::Handshake);
  EXPECT_EQ(RTSControlToDCBValue("disable"), RtsControl::Disable);
  EXPECT_EQ(RTSControlToDCBValue("ENABLE"), RtsControl::Enable);
  EXPECT_EQ(RTSControlToDCBValue("handshake"), RtsControl::Handshake);
  EXPECT_EQ(RTSControlToDCBValue("toggle"), RtsControl::Toggle);
  EXPECT_EQ(capture.Text(), "");
}

TEST(RS232Words, WordOutsideItsTableIsReportedAndGivesZero) {
  using namespace fennec::rs232;
  DebugCapture capture;
  EXPECT_EQ(ParityToDCBValue("X"), fennec::platform::Parity::None);
  EXPECT_EQ(StopBitsToDCBValue("1,7"), fennec::platform::StopBits::One);
  EXPECT_EQ(DTRControlToDCBValue("toggle"), fennec::platform::DtrControl::Disable);  // DTR has no toggle
  EXPECT_EQ(RTSControlToDCBValue("on"), fennec::platform::RtsControl::Disable);
  EXPECT_EQ(capture.Text(), WordReport("ParityToDCBValue", "Invalid parity value", "X") +
                                WordReport("StopBitsToDCBValue", "Invalid stop bit value", "1.7") +
                                WordReport("DTRControlToDCBValue", "Invalid DTRControl value", "toggle") +
                                WordReport("RTSControlToDCBValue", "Invalid RTSControl value", "on"));
}
