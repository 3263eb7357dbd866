#include <gtest/gtest.h>

#include "Common/XMLDOMHelper.h"
#include "app/CommandLine.h"
#include "app/DeviceLink.h"

using lanterna::ParseCommandLine;

TEST(CommandLine, FlagsInAnyCase) {
  const auto options = ParseCommandLine({"/debug", "/TopMost", "/other"});
  EXPECT_TRUE(options.debug);
  EXPECT_TRUE(options.topmost);
  EXPECT_EQ(options.commandLineDevice, "");
  EXPECT_TRUE(options.messages.empty());
}

TEST(CommandLine, OnlyTheExactPrefixTextIsRemovedFromTheDevice) {
  EXPECT_EQ(ParseCommandLine({"/Connection:RS232:COM3"}).commandLineDevice, "COM3");
  EXPECT_EQ(ParseCommandLine({"/connection:rs232:COM2"}).commandLineDevice, "rs232:COM2");
  EXPECT_EQ(ParseCommandLine({"/CONNECTION:RS232:/dev/RS232:x"}).commandLineDevice, "/dev/x");
}

TEST(CommandLine, OtherConnectionValuesGiveTheirMessages) {
  const auto options = ParseCommandLine({"/Connection:tcpip:10.0.0.1", "/Connection:USB:1", "/Connection:"});
  EXPECT_EQ(options.commandLineDevice, "");
  EXPECT_EQ(options.messages, (std::vector<std::string>{"TCP/IP communication ist not supported!",
                                                        "Invalid communication settings!",
                                                        "Invalid communication settings!"}));
}

TEST(CommandLine, DeviceDocumentKeepsItsBlanksAndEscapesTheName) {
  EXPECT_EQ(lanterna::CommandLineDeviceDocument("COM3"),
            "<?xml version='1.0'?>                               <RS232 device='COM3'/>");
  CXMLDOMHelper document;
  ASSERT_TRUE(document.LoadByString(lanterna::CommandLineDeviceDocument("a'b<c&d\"")));
  EXPECT_EQ(document.SelectSingleElement("RS232").GetAttribute("device").value_or(""), "a'b<c&d\"");
}
