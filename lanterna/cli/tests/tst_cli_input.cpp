// The command line's parsing: options, numbers, the connection, KEY=VALUE lines, clock input.
#include <gtest/gtest.h>

#include <sstream>

#include <algorithm>

#include "cli/Arguments.h"
#include "cli/CliError.h"
#include "cli/ClockInput.h"
#include "cli/Commands.h"
#include "cli/Completion.h"
#include "cli/ConnectionChoice.h"
#include "cli/FieldValue.h"
#include "cli/ProgressLine.h"
#include "cli/SettingLines.h"
#include "cli/StoreNotice.h"
#include "cli/UploadProgress.h"
#include "pages/NumberText.h"

using namespace lanterna::cli;
using lanterna::kTypeDecimalWord;
using lanterna::kTypeHexDoubleWord;
using lanterna::kTypeHexWord;

namespace {

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace
using namespace std::chrono;

TEST(Arguments, OptionsStandBeforeOrAfterTheCommandWithTheirValues) {
  const CliOptions options =
      ParseArguments({"--connection", "SIM:pfc32", "write", "A.B=1", "--ini=/x/LANTERNA.INI", "--json", "C.D=2"});
  EXPECT_EQ(options.connection, "SIM:pfc32");
  EXPECT_EQ(options.ini, "/x/LANTERNA.INI");
  EXPECT_TRUE(options.json);
  EXPECT_FALSE(options.yes);
  EXPECT_EQ(options.command, "write");
  EXPECT_EQ(options.operands, (std::vector<std::string>{"A.B=1", "C.D=2"}));
}

TEST(Arguments, NegativeNumbersAndEverythingAfterTheEndMarkAreOperands) {
  const CliOptions options = ParseArguments({"clock", "zone", "-5", "--", "--json"});
  EXPECT_EQ(options.operands, (std::vector<std::string>{"zone", "-5", "--json"}));
  EXPECT_FALSE(options.json);
}

TEST(Arguments, UnknownOptionsAndMissingValuesAreBadInput) {
  EXPECT_THROW(ParseArguments({"read", "--jsno"}), CBadInput);
  EXPECT_THROW(ParseArguments({"read", "-x"}), CBadInput);
  EXPECT_THROW(ParseArguments({"read", "--connection"}), CBadInput);
  EXPECT_TRUE(ParseArguments({"-h"}).help);
}

TEST(Arguments, NumberOperandsAreWholeDecimalOrHexadecimalNumbersWithinTheirLimit) {
  EXPECT_EQ(ParseNumberOperand("100", 127, "the table"), 100u);
  EXPECT_EQ(ParseNumberOperand("0x7F", 127, "the table"), 127u);
  EXPECT_EQ(ParseNumberOperand("0XFFFFFFFF", 0xFFFFFFFF, "the code"), 0xFFFFFFFFu);
  for (const char* bad : {"128", "", "0x", "12abc", "-1", " 1", "0x1G", "99999999999"})
    EXPECT_THROW(ParseNumberOperand(bad, 127, "the table"), CBadInput) << bad;
}

TEST(Connection, SimulatorWithItsDefaultOrNamedProfile) {
  EXPECT_EQ(ParseConnection(std::nullopt).kind, ConnectionChoice::Kind::Stored);
  const ConnectionChoice plain = ParseConnection("SIM");
  EXPECT_EQ(plain.kind, ConnectionChoice::Kind::Simulator);
  EXPECT_EQ(plain.profile, "fbc32");
  EXPECT_EQ(ParseConnection("sim:fbc16").profile, "fbc16");
  const ConnectionChoice network = ParseConnection("SIMTCP");
  EXPECT_EQ(network.kind, ConnectionChoice::Kind::NetworkSimulator);
  EXPECT_EQ(network.profile, "fbc32");
  EXPECT_EQ(ParseConnection("simtcp:fbc16").profile, "fbc16");
  EXPECT_EQ(ParseConnection("SIMTCP:fbc16").kind, ConnectionChoice::Kind::NetworkSimulator);
  EXPECT_THROW(ParseConnection("SIM:"), CBadInput);
  EXPECT_THROW(ParseConnection("SIMTCP:"), CBadInput);
}

TEST(Connection, NetworkHostWithAnOptionalPortFromOneTo65535) {
  const ConnectionChoice plain = ParseConnection("TCPIP:10.0.0.1");
  EXPECT_EQ(plain.kind, ConnectionChoice::Kind::Network);
  EXPECT_EQ(plain.device, "10.0.0.1");
  EXPECT_FALSE(plain.port);
  const ConnectionChoice named = ParseConnection("tcpip:plant-7.local:16626");
  EXPECT_EQ(named.device, "plant-7.local");
  EXPECT_EQ(named.port, 16626);
  EXPECT_EQ(ParseConnection("TCPIP:h:1").port, 1);
  EXPECT_EQ(ParseConnection("TCPIP:h:65535").port, 65535);
  for (const char* bad : {"TCPIP:", "TCPIP::6626", "TCPIP:h:", "TCPIP:h:0", "TCPIP:h:65536", "TCPIP:h:66x",
                          "TCPIP:h:+1", "TCPIP:h:1:2", "TCPIP:h: 1"})
    EXPECT_THROW(ParseConnection(bad), CBadInput) << bad;
}

TEST(Connection, SerialDevicesFollowTheProgramsConnectionArgument) {
  const ConnectionChoice serial = ParseConnection("RS232:ttyUSB0");
  EXPECT_EQ(serial.kind, ConnectionChoice::Kind::Serial);
  EXPECT_EQ(serial.device, "ttyUSB0");
  // Only the exact text "RS232:" is removed.
  EXPECT_EQ(ParseConnection("rs232:COM2").device, "rs232:COM2");
  try {
    ParseConnection("COM1");
    FAIL();
  } catch (const CBadInput& error) {
    EXPECT_EQ(FirstLine(error.what()), "Invalid communication settings!");
    EXPECT_NE(std::string(error.what()).find("\n--connection takes RS232:<device>"), std::string::npos);
  }
  EXPECT_THROW(ParseConnection("RS232:"), CBadInput);
}

TEST(SettingLines, ArgumentsKeepTheValueAfterTheFirstEqualsSign) {
  const auto settings = SettingsFromArguments({"TCPIP.Server=BootP-Server", " NETWORK.Domain =a=b", "X.Y="});
  ASSERT_EQ(settings.size(), 3u);
  EXPECT_EQ(settings[0].key, "TCPIP.Server");
  EXPECT_EQ(settings[1].key, "NETWORK.Domain");
  EXPECT_EQ(settings[1].value, "a=b");
  EXPECT_EQ(settings[2].value, "");
  EXPECT_THROW(SettingsFromArguments({"TCPIP.IPAddress"}), CBadInput);
  EXPECT_THROW(SettingsFromArguments({"=1"}), CBadInput);
}

TEST(SettingLines, TextSkipsCommentsAndBlankLinesAndNamesTheLineOfAFault) {
  const auto settings = SettingsFromText("# 716-341\r\n\r\nA.B=1\r\n   # indented comment\nC.D=two words\n", "dev.txt");
  EXPECT_EQ(settings, (std::vector<SettingLine>{{"A.B", "1", "dev.txt:3"}, {"C.D", "two words", "dev.txt:5"}}));
  try {
    SettingsFromText("A.B=1\nno equals sign\n", "dev.txt");
    FAIL();
  } catch (const CBadInput& error) {
    EXPECT_NE(std::string(error.what()).find("dev.txt:2"), std::string::npos);
  }
  EXPECT_THROW(SettingsFromFile("/nonexistent/settings.txt"), CBadInput);
}

// A file whose lines end in LF CR, or a stray CR before a key: the CR is no part of the key.
TEST(SettingLines, CarriageReturnsAroundAKeyAreBlanks) {
  EXPECT_EQ(SettingsFromText("A.B=1\n\rC.D=2\n\r", "dev.txt"),
            (std::vector<SettingLine>{{"A.B", "1", "dev.txt:1"}, {"C.D", "2", "dev.txt:2"}}));
  EXPECT_EQ(SettingsFromText(" \t\rE.F\r \t=3\r\n", "dev.txt"), (std::vector<SettingLine>{{"E.F", "3", "dev.txt:1"}}));
}

// The value ends where the line's carriage returns begin, however many a conversion left; a CR
// inside the value and blanks after it are the value's own.
TEST(SettingLines, AValueNeverEndsInTheLinesCarriageReturns) {
  EXPECT_EQ(SettingsFromText("NETWORK.HostName=coupler-17\r\r\nA.B=1\r\r\r", "dev.txt"),
            (std::vector<SettingLine>{{"NETWORK.HostName", "coupler-17", "dev.txt:1"}, {"A.B", "1", "dev.txt:2"}}));
  EXPECT_EQ(SettingsFromText("C.D=a\rb \r\n", "dev.txt"), (std::vector<SettingLine>{{"C.D", "a\rb ", "dev.txt:1"}}));
}

TEST(ClockInput, UtcTimeInEitherFormWithAnOptionalZ) {
  const sys_seconds expected = sys_days{2024y / 2 / 29} + 13h + 5min + 9s;
  EXPECT_EQ(ParseUtcTime("2024-02-29T13:05:09"), expected);
  EXPECT_EQ(ParseUtcTime("2024-02-29 13:05:09"), expected);
  EXPECT_EQ(ParseUtcTime("2024-02-29T13:05:09Z"), expected);
  for (const char* bad : {"2023-02-29T13:05:09", "2024-13-01T00:00:00", "2024-01-01T24:00:00",
                          "2024-01-01T00:60:00", "2024-1-01T00:00:00", "2024-01-01", "2024-01-01T00:00:0x",
                          "2024-01-01T-1:00:00"})
    EXPECT_FALSE(ParseUtcTime(bad).has_value()) << bad;
}

TEST(ClockInput, ZoneHoursAreWholeSignedNumbers) {
  EXPECT_EQ(ParseZoneHours("-5"), -5);
  EXPECT_EQ(ParseZoneHours("+1"), 1);
  EXPECT_EQ(ParseZoneHours("0"), 0);
  for (const char* bad : {"", "+", "1.5", "UTC+1", "+-1", "5h"}) EXPECT_FALSE(ParseZoneHours(bad).has_value()) << bad;
}

TEST(FieldValue, ANumberFieldTakesTheWholeTextAsOneNumberOfItsBase) {
  struct Case {
    const char* text;
    int typeCode;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"150", kTypeDecimalWord, 150},      {"+5", kTypeDecimalWord, 5},
      {"-17", kTypeDecimalWord, -17},      {"0x10", kTypeDecimalWord, std::nullopt},
      {"1e3", kTypeDecimalWord, std::nullopt}, {"12abc", kTypeDecimalWord, std::nullopt},
      {"7.5", kTypeDecimalWord, std::nullopt}, {"", kTypeDecimalWord, std::nullopt},
      {" 5", kTypeDecimalWord, std::nullopt},  {"5 ", kTypeDecimalWord, std::nullopt},
      {"+-5", kTypeDecimalWord, std::nullopt}, {"-", kTypeDecimalWord, std::nullopt},
      {"2147483647", kTypeDecimalWord, 2147483647}, {"2147483648", kTypeDecimalWord, std::nullopt},
      {"0x0012", kTypeHexWord, 0x12},      {"12", kTypeHexWord, 0x12},
      {"ffff", kTypeHexWord, 0xFFFF},      {"0XAB", kTypeHexDoubleWord, 0xAB},
      {"0x12zz", kTypeHexWord, std::nullopt}, {"0x", kTypeHexWord, std::nullopt},
      {"", kTypeHexWord, std::nullopt},    {"-0x10", kTypeHexWord, std::nullopt},
      {"0x-1", kTypeHexWord, std::nullopt}, {"FFFFFFFF", kTypeHexDoubleWord, -1},
      {"100000000", kTypeHexDoubleWord, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(StrictFieldNumber(c.text, c.typeCode), c.value) << "'" << c.text << "'";
  EXPECT_EQ(AcceptedNumberText(kTypeHexWord), "a hexadecimal number: the digits 0-9 and A-F, with or without 0x");
  EXPECT_EQ(AcceptedNumberText(kTypeDecimalWord), "a decimal number: an optional sign and the digits 0-9");
}

TEST(DamagedStore, TheLineNamesTheFileWhereItWentAndTheStoredPortWhenItCouldBeRead) {
  const std::string key = "Software\\ORLA Software\\ORLA Lanterna";
  const fennec::StoredValue port{"HKEY_CURRENT_USER", "software\\orla software\\orla lanterna\\rs232", "Device",
                                 "/dev/ttyUSB1"};
  const fennec::StoredValue otherDevice{"HKEY_CURRENT_USER", "Software\\ORLA Software\\RS232", "device", "COM4"};
  const struct {
    fennec::DamagedStore store;
    std::string line;
  } cases[] = {
      {{"/h/registry.xml", "/h/registry.xml.damaged-1", {otherDevice, port}},
       "lanterna-cli: the settings store /h/registry.xml was damaged and moved to /h/registry.xml.damaged-1; its "
       "stored values (the stored port /dev/ttyUSB1 among them) are lost"},
      {{"/h/registry.xml", "/h/registry.xml.damaged-1", {otherDevice}},
       "lanterna-cli: the settings store /h/registry.xml was damaged and moved to /h/registry.xml.damaged-1; its "
       "stored values (the stored port among them, if one was stored) are lost"},
      {{"/h/registry.xml", "", {port}},
       "lanterna-cli: the settings store /h/registry.xml was damaged and could not be moved aside; its stored values "
       "(the stored port /dev/ttyUSB1 among them) are not used"},
  };
  for (const auto& c : cases) EXPECT_EQ(DamagedStoreText(c.store, key), c.line);
}

// The completion's options are the parser's: every option a help text names is offered, and
// the parser takes every option offered.
TEST(Completion, OffersExactlyTheOptionsTheParserTakes) {
  std::vector<std::string_view> offered(ValueOptions().begin(), ValueOptions().end());
  offered.insert(offered.end(), SwitchOptions().begin(), SwitchOptions().end());
  std::string helps = ProgramHelp();
  for (const CommandInfo& command : AllCommands()) helps += command.help;
  for (std::size_t at = helps.find("--"); at != std::string::npos; at = helps.find("--", at + 2)) {
    const std::size_t end = helps.find_first_not_of("abcdefghijklmnopqrstuvwxyz", at + 2);
    const std::string option = helps.substr(at, end - at);
    if (option == "--") continue;
    EXPECT_NE(std::find(offered.begin(), offered.end(), option), offered.end()) << option;
  }
  for (const std::string_view option : ValueOptions())
    EXPECT_NO_THROW(ParseArguments({std::string(option), "x", "read"})) << option;
  for (const std::string_view option : SwitchOptions()) EXPECT_NO_THROW(ParseArguments({std::string(option)})) << option;
  EXPECT_THROW(ParseArguments({"--jsno"}), CBadInput);
}

TEST(ProgressLine, OnATerminalTheStepShowsItsSecondsAndGivesWayToEachLogLine) {
  std::ostringstream out;
  {
    CProgressLine line(out, true, std::chrono::hours(1));  // the test draws, not the ticker
    const auto start = std::chrono::steady_clock::now();
    line.LogLine("    Saving parameters is in progress...", start);
    line.Redraw(start + std::chrono::milliseconds(300));  // under a second: nothing to show yet
    EXPECT_EQ(out.str(), "    Saving parameters is in progress...\n");
    line.Redraw(start + std::chrono::seconds(12));
    EXPECT_EQ(out.str(), "    Saving parameters is in progress...\n\r\033[K    Saving parameters is in progress... (12 s)");
    line.LogLine("    Saving parameters successfully done");
    line.Idle();
    line.Redraw(start + std::chrono::seconds(20));  // no action runs: no line
  }
  EXPECT_EQ(out.str(),
            "    Saving parameters is in progress...\n\r\033[K    Saving parameters is in progress... (12 s)"
            "\r\033[K    Saving parameters successfully done\n");
}

TEST(ProgressLine, OnAPipeOnlyTheLogLinesGoOut) {
  std::ostringstream out;
  {
    CProgressLine line(out, false);
    line.LogLine("Software-Reset is in progress...");
    line.Redraw(std::chrono::steady_clock::now() + std::chrono::seconds(30));
    line.Write("\nmessage\n\n");
  }
  EXPECT_EQ(out.str(), "Software-Reset is in progress...\n\nmessage\n\n");
  EXPECT_EQ(ProgressText("Formating file system is in progress...", std::chrono::seconds(3)),
            "Formating file system is in progress... (3 s)");
}

TEST(UploadProgress, ABarOnATerminalRedrawnInPlaceAndOneLinePerLargerPercentOnAPipe) {
  EXPECT_EQ(UploadBar(0), "upload [                                        ]   0%");
  EXPECT_EQ(UploadBar(50), "upload [####################                    ]  50%");
  EXPECT_EQ(UploadBar(250), UploadBar(100));

  std::ostringstream terminal;
  CUploadProgress bar(terminal, true);
  for (unsigned percent : {33u, 33u, 66u, 100u}) bar.Show(percent);
  bar.Finish();
  EXPECT_EQ(terminal.str(), "\r" + UploadBar(33) + "\r" + UploadBar(66) + "\r" + UploadBar(100) + "\n");

  std::ostringstream pipe;
  CUploadProgress lines(pipe, false);
  for (unsigned percent : {25u, 25u, 10u, 50u, 100u}) lines.Show(percent);
  lines.Finish();
  EXPECT_EQ(pipe.str(), "upload 25%\nupload 50%\nupload 100%\n");
}
