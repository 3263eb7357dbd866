// Links libfennec.so: the catalogue is used through its exported interface only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ErrorLanguage.h"
#include "FennecErrorHandler.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"

using fennec::platform::SetThreadLastError;

namespace {

class ErrorCatalogue : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fennec::SetErrorLanguage(fennec::kLanguageEnglish)); }
  void TearDown() override {
    fennec::SetErrorLanguage(0);
    SetThreadLastError(0);
  }

  tErrorMessage Evaluate(std::uint32_t code, const char* port = nullptr, std::int32_t module = 0,
                         std::int32_t table = 0, std::int32_t reg = 0, const char* service = nullptr) {
    SetThreadLastError(code);
    tErrorMessage message;
    EXPECT_EQ(m_handler.Evaluate(&message, port, module, table, reg, service), code);
    EXPECT_EQ(message.dwErrorCode, code);
    return message;
  }

  CFennecErrorHandler m_handler;
};

TEST_F(ErrorCatalogue, TimeoutGivesTheSerialGroupTexts) {
  const tErrorMessage message = Evaluate(0x20010200);
  EXPECT_EQ(message.strTitle, "Communication Port Error");
  EXPECT_EQ(message.strText, "Timeout while connecting to fieldbus coupler !");
  EXPECT_EQ(message.strDetail,
            "The fieldbus coupler (FBC) did not reply within a given time.\r\n\r\nPossible Reasons:\r\n"
            "- The Fieldbus couplers power supply was interrupted.\r\n"
            "- The connection between your PC and the FBC was interrupted.\r\n"
            "- Different communication settings for your PC and the FBC.");
}

TEST_F(ErrorCatalogue, PortDetailNamesThePortOrComPort) {
  const std::string rest =
      " is already used by another application.\r\n\r\nRemedy:\t- Check serial interface settings or \r\n"
      "\t- select another port or \r\n\t- close the other application.";
  const tErrorMessage named = Evaluate(0x20020005, "COM3");
  EXPECT_EQ(named.strTitle, "Communication Port Error");
  EXPECT_EQ(named.strText, "Acces denied !");
  EXPECT_EQ(named.strDetail, "Reason:\tCOM3" + rest);
  EXPECT_EQ(Evaluate(0x20020005).strDetail, "Reason:\tCOM-Port" + rest);
  EXPECT_EQ(Evaluate(0x20020100, "/dev/ttyUSB0").strDetail,
            "Reason:\t/dev/ttyUSB0 is not opened.\r\n\r\nRemedy:\t- Open the serial interface again or \r\n"
            "\t- select another serial interface.");
}

TEST_F(ErrorCatalogue, TableAndRegisterGoWhereTheTextNamesThem) {
  const tErrorMessage invalidRegister = Evaluate(0x20088201, nullptr, 0, 5, 300);
  EXPECT_EQ(invalidRegister.strTitle, "Fieldbus Coupler Error");
  EXPECT_EQ(invalidRegister.strText, "Invalid register !");
  EXPECT_EQ(invalidRegister.strDetail, "Table 5 does not contains register 300.");

  EXPECT_EQ(Evaluate(0x20088202, nullptr, 0, 5, 7).strDetail,
            "Write protection must be cleared before changing register 7.");
  EXPECT_EQ(Evaluate(0x20088203, nullptr, 0, 5, 7).strDetail, "Register 7 could not be written.");
  EXPECT_EQ(Evaluate(0x20088200, nullptr, 0, 5, 7).strDetail, "Table 5 is not used by the fieldbus coupler.");
  EXPECT_EQ(Evaluate(0x2008821C, nullptr, 0, 100, 26).strDetail,
            "Table 100 is write protected.\r\nIt is not possible to write register  26.");
}

TEST_F(ErrorCatalogue, GermanTextsTakeTableAndRegisterInTheirOrder) {
  ASSERT_TRUE(fennec::SetErrorLanguage(fennec::kLanguageGerman));
  EXPECT_EQ(Evaluate(0x20088201, nullptr, 0, 5, 300).strDetail, "Tabelle 5 enthält kein Register 300.");
  EXPECT_EQ(Evaluate(0x20088202, nullptr, 0, 5, 7).strDetail,
            "Register 7 in Tabelle 5 darf erst nach Aufheben des Schreibschutzes geändert werden.");
  EXPECT_EQ(Evaluate(0x20088203, nullptr, 0, 5, 7).strDetail,
            "In Tabelle 5 konnte Register 7 nicht geschrieben werden.");
  const tErrorMessage unknown = Evaluate(0x20088250);
  EXPECT_EQ(unknown.strTitle, "Feldbuskopplerfehler");
  EXPECT_EQ(unknown.strText, "Unbekannter Fehler !");
  EXPECT_EQ(unknown.strDetail, "Fehlercode: 0x20088250 (537428560)");
}

TEST_F(ErrorCatalogue, ServiceNameGoesIntoTextAndDetail) {
  const tErrorMessage message = Evaluate(0x2008821B, nullptr, 0, 0, 0, "Restart");
  EXPECT_EQ(message.strText, "Service 'Restart' rejected !");
  EXPECT_EQ(message.strDetail,
            "The service 'Restart' was rejected by the fieldbus coupler.\r\n\r\nReason:\tA PFC application is "
            "running.\r\n\r\nRemedy:\tTo stop programm processing change the \r\n\toperating mode switch from top "
            "to middle position.");
  EXPECT_EQ(Evaluate(0x2008821A).strText, "Service '' rejected !");
  EXPECT_EQ(Evaluate(0x20088212, nullptr, 0, 0, 0, "GetParameterChecksum").strDetail,
            "Function 'GetParameterChecksum' is not supported by the connetcted fieldbus coupler.");
  EXPECT_EQ(Evaluate(0x20088212, nullptr, 0, 0, 0, "GetParameterChecksum").strText, "Invalid service request !");
}

TEST_F(ErrorCatalogue, ModulePositionAndChannel) {
  EXPECT_EQ(Evaluate(0x2004800A, nullptr, 12).strDetail, "An invalid command was send for module at position 12.");
  EXPECT_EQ(Evaluate(0x20048004, nullptr, 3).strTitle, "Terminal bus Error");
  EXPECT_EQ(Evaluate(0x20048005, nullptr, 3).strDetail, "A test image was changed on the terminal bus.");
  EXPECT_EQ(Evaluate(0x20088300, nullptr, 9).strDetail,
            "Register communication not supported by module at position 9.");
  const tErrorMessage channel = Evaluate(0x20088301, nullptr, 3, 2);
  EXPECT_EQ(channel.strTitle, "Register Communication Error");
  EXPECT_EQ(channel.strDetail,
            "Register communication failed for module at position 3 (channel 2).\r\n\r\nPossible Reasons:\r\n"
            "- A terminal bus error occured.\r\n- The module is not a processor module.\r\n"
            "- The requested channel is out of channel range.\r\n- The logical channel does not exist.\r\n"
            "- The PTB Bit of the module is not set.\r\n- Invalid bit offset for the module.");
}

TEST_F(ErrorCatalogue, SubGroupsOfTheCouplerAreTestedFirst) {
  EXPECT_EQ(Evaluate(0x200883FF).strText, "Register communication failed !");
  const tErrorMessage tables = Evaluate(0x20088409);
  EXPECT_EQ(tables.strTitle, "Error");
  EXPECT_EQ(tables.strText, "Invalid node configuration !");
}

TEST_F(ErrorCatalogue, UnknownCodesShowTheirNumber) {
  const tErrorMessage coupler = Evaluate(0x20088250);
  EXPECT_EQ(coupler.strTitle, "Fieldbus Coupler Error");
  EXPECT_EQ(coupler.strText, "Unknown Error !");
  EXPECT_EQ(coupler.strDetail, "Errorcode: 0x20088250 (537428560)");

  // Both bits of the serial group's mask are set, so it is looked for in that table.
  const tErrorMessage serial = Evaluate(0x20030001);
  EXPECT_EQ(serial.strTitle, "Communication Port Error");
  EXPECT_EQ(serial.strText, "Unknown Error !");
  EXPECT_EQ(serial.strDetail, "Errorcode: 0x20030001 (537067521)");

  const tErrorMessage socket = Evaluate(0x30000068);
  EXPECT_EQ(socket.strTitle, "tst_cfennecerrorhandler");
  EXPECT_EQ(socket.strText, "Unknown Error !");
  EXPECT_EQ(socket.strDetail, "Errorcode: 0x30000068 (805306472)");

  // A code is unsigned: its decimal form never turns negative.
  EXPECT_EQ(Evaluate(0x80004005).strDetail, "Errorcode: 0x80004005 (2147500037)");
}

TEST_F(ErrorCatalogue, CodeZeroLeavesTheTexts) {
  SetThreadLastError(0);
  tErrorMessage message{0x20010200, "title", "text", "detail"};
  EXPECT_EQ(m_handler.Evaluate(&message), 0u);
  EXPECT_EQ(message.dwErrorCode, 0u);
  EXPECT_EQ(message.strTitle, "title");
  EXPECT_EQ(message.strText, "text");
  EXPECT_EQ(message.strDetail, "detail");
}

TEST_F(ErrorCatalogue, NullMessageOnlyReturnsTheCode) {
  SetThreadLastError(0x20020002);
  EXPECT_EQ(m_handler.Evaluate(nullptr, "COM1"), 0x20020002u);
  EXPECT_EQ(fennec::platform::GetThreadLastError(), 0x20020002u);
}

TEST_F(ErrorCatalogue, LanguageCallWinsOverTheEnvironment) {
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  EXPECT_EQ(Evaluate(0x20010200).strTitle, "Communication Port Error");

  ASSERT_TRUE(fennec::SetErrorLanguage(0));
  EXPECT_EQ(fennec::GetErrorLanguage(), fennec::kLanguageGerman);
  EXPECT_EQ(Evaluate(0x20010200).strTitle, "Fehler der seriellen Schnittstelle");

  setenv("LC_ALL", "fr_FR.UTF-8", 1);
  EXPECT_EQ(fennec::GetErrorLanguage(), fennec::kLanguageFrench);
  EXPECT_EQ(Evaluate(0x20010200).strText, "Timeout while connecting to fieldbus coupler !");
  unsetenv("LC_ALL");

  EXPECT_FALSE(fennec::SetErrorLanguage(1049));
  ASSERT_TRUE(fennec::SetErrorLanguage(fennec::kLanguageGerman));
  EXPECT_FALSE(fennec::SetErrorLanguage(1049));
  EXPECT_EQ(fennec::GetErrorLanguage(), fennec::kLanguageGerman);
}

TEST_F(ErrorCatalogue, TerminalBusDescription) {
  KBUSERROR error;
  error.wValid = 1;
  error.wErrorCode = 0x12;
  error.wErrorArg = 4;
  EXPECT_TRUE(m_handler.GetKBUSErrorDescr(&error));
  EXPECT_EQ(error.strDescription, "Error while transmitting input data after module 4 !");

  error.wErrorCode = 0x18;
  EXPECT_TRUE(m_handler.GetKBUSErrorDescr(&error));
  EXPECT_EQ(error.strDescription, "Terminal bus timeout !");

  error.wErrorCode = 0x13;  // not in the list
  EXPECT_TRUE(m_handler.GetKBUSErrorDescr(&error));
  EXPECT_EQ(error.strDescription, "");

  ASSERT_TRUE(fennec::SetErrorLanguage(fennec::kLanguageGerman));
  error.wErrorCode = 0x14;
  EXPECT_TRUE(m_handler.GetKBUSErrorDescr(&error));
  EXPECT_EQ(error.strDescription, "Fehler beim Übertragen der Ausgangsdaten nach Klemme 4 !");

  error.wValid = 0;
  EXPECT_TRUE(m_handler.GetKBUSErrorDescr(&error));
  EXPECT_EQ(error.strDescription, "");
}

TEST_F(ErrorCatalogue, NullTerminalBusErrorIsAnAssertion) {
  fennec::platform::DebugCapture capture;
  EXPECT_FALSE(m_handler.GetKBUSErrorDescr(nullptr));
  EXPECT_NE(capture.Text().find("Assertion failed: pError != nullptr"), std::string::npos);
}

// GetDetails is open to derived classes with tables of their own.
class CustomCatalogue : public CFennecErrorHandler {
 public:
  bool Details(std::uint32_t code, tErrorMessage* message, ERRORDETAILS details) const {
    static const tErrorID table[] = {{0x20990001, 6360, 6362, 6382}, {0xFFFFFFFF, 0, 0, 0}};
    return GetDetails(code, table, message, details);
  }
};

TEST_F(ErrorCatalogue, GetDetailsFromAnotherTable) {
  CustomCatalogue catalogue;
  tErrorMessage message;
  EXPECT_TRUE(catalogue.Details(0x20990001, &message, {nullptr, 0, 124, 40, nullptr}));
  EXPECT_EQ(message.strTitle, "Fieldbus Coupler Error");
  EXPECT_EQ(message.strText, "Invalid register !");
  EXPECT_EQ(message.strDetail, "Table 124 does not contains register 40.");

  EXPECT_FALSE(catalogue.Details(0x20990002, &message, {}));
  EXPECT_EQ(message.dwErrorCode, 0x20990002u);
  EXPECT_EQ(message.strTitle, "Fieldbus Coupler Error");
  EXPECT_EQ(message.strDetail, "Errorcode: 0x20990002 (546897922)");
  // The end row is never taken for a code.
  EXPECT_FALSE(catalogue.Details(0xFFFFFFFF, &message, {}));
}

}  // namespace
