// The protocol trace log: its file, its heading, the compact and the detailed view of frames and
// the dump of table 124, in the Windows-1252 code page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ExtDevice.h"
#include "ExtProtLogFile.h"
#include "ExtProtokoll.h"
#include "ExtTraceFormat.h"
#include "TempFolder.h"

using namespace ext_bytes;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
  return lines;
}

std::string Content(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The 14-byte answer of an old coupler to a read of one register of table 99.
const Bytes kOldAnswer = telegram_bytes::WithChecksum({0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x63, 0x00, 0x00, 0x00});

}  // namespace

TEST(ExtTraceFormat, TheFileIsNamedByItsSecond) {
  std::tm time{};
  time.tm_year = 2026 - 1900;
  time.tm_mon = 2;
  time.tm_mday = 5;
  time.tm_hour = 14;
  time.tm_min = 3;
  time.tm_sec = 9;
  EXPECT_EQ(fennec::trace::TraceFileName(time), "ExtProt-20260305_140309.log");
}

TEST(ExtTraceFormat, CompactFramesAreOneLinePerModeBit) {
  const Bytes frame{0x02, 0xFD, 0x0C, 0x00, '$', 0x81, 0x01, 0x00, 0x07, 0x00, 0xAB, 0x01};
  EXPECT_EQ(fennec::trace::FrameText(frame, 1), " 02 fd 0c 00 24 81 01 00 07 00 ab 01\r\n");
  const std::vector<std::string> lines = Lines(fennec::trace::FrameText(frame, 5));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].size(), 3 * frame.size());
  EXPECT_EQ(lines[1].substr(12, 3), "  $");
  EXPECT_EQ(fennec::trace::FrameText(frame, 3), fennec::trace::FrameText(frame, 1)) << "decimal adds nothing here";
}

TEST(ExtTraceFormat, TheOldCouplersAnswerShowsFourteenLabelledRows) {
  const std::vector<std::string> lines = Lines(fennec::trace::FrameText(kOldAnswer, 8));
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "Altes Protokoll!");
  EXPECT_EQ(lines[1], "  0: Startkennung Low-Byte:     ");
  EXPECT_EQ(lines[3], "  2: Telegramml\xE4nge:            ");
  EXPECT_EQ(lines[10], "  9: Registernummer(Start):     ");
  EXPECT_EQ(lines[11], " 10: Daten:                     ");
  EXPECT_EQ(lines[12], " 11: Daten:                     ");
  EXPECT_EQ(lines[13], " 12: Checksumme Low-Byte:       ");
  EXPECT_EQ(lines[14], " 13: Checksumme High-Byte:      ");
  EXPECT_EQ(lines[15], "");
}

TEST(ExtTraceFormat, RowsShowTheValueAsEachModeBitAsks) {
  // The first fragment of a register read answer: header rows, then the message's header words.
  const Bytes frame = DeviceFrame({'$', 0x81, 1, 7, 0, Message({14, 0, 110, 300, 1, 0}, {'A', 'B'})});
  const std::vector<std::string> lines = Lines(fennec::trace::FrameText(frame, 15));
  ASSERT_EQ(lines.size(), 10u + 6 + 1 + 2 + 1);
  EXPECT_EQ(lines[2], "  2: Telegramml\xE4nge Low-Byte:   0x1a     26  \x1a");
  EXPECT_EQ(lines[6], "  6: Fragmentz\xE4hler Low-Byte:   0x01      1  \x01");
  EXPECT_EQ(lines[10], std::string(" 10: Datenfeldgesamtl\xE4nge:    0x000e     14  \x0e") + '\0');
  EXPECT_EQ(lines[13], " 16: Startregisternummer:     0x012c    300  ,\x01");
  EXPECT_EQ(lines[16], " 22: Daten:                   0x4241  16961  AB");
  EXPECT_TRUE(lines[17].starts_with(" 24: Checksumme Low-Byte:       0x")) << lines[17];
}

// Only the first fragment of a message starts with the message's header.
TEST(ExtTraceFormat, LaterFragmentsShowOnlyData) {
  const Bytes service = DeviceFrame({'$', 0x03, 0x8002, 7, 0, {1, 2, 3}});
  const std::vector<std::string> lines = Lines(fennec::trace::FrameText(service, 9));
  ASSERT_EQ(lines.size(), 10u + 3 + 2 + 1);
  EXPECT_EQ(lines[10], " 10: Daten:                     0x01");
  const Bytes registers = DeviceFrame({'$', 0x81, 0x0002, 7, 0, {1, 2, 3}});
  const std::vector<std::string> rows = Lines(fennec::trace::FrameText(registers, 9));
  ASSERT_EQ(rows.size(), 10u + 2 + 2 + 1);
  EXPECT_EQ(rows[10], " 10: Daten:                   0x0201");
  EXPECT_EQ(rows[11], " 12: Daten:                     0x03");
}

TEST(ExtTraceFormat, AnythingElseIsAnUnknownProtocol) {
  const Bytes frame{0xAA, 0x55, 0x01, 0x02, 0x03, 0x04, 0x05};
  const std::vector<std::string> lines = Lines(fennec::trace::FrameText(frame, 8));
  ASSERT_EQ(lines.size(), 1u + 2 + 3 + 2 + 1);
  EXPECT_EQ(lines[0], "Unbekanntes Protokoll!");
  EXPECT_EQ(lines[3], "  2: Unbekannt:                 ");
  EXPECT_EQ(lines[6], "  5: Checksumme Low-Byte:       ");
  // Too short to have a kind, or anything at all: still only what is there.
  EXPECT_EQ(Lines(fennec::trace::FrameText(Bytes{0x02}, 8)).size(), 3u);
  EXPECT_EQ(Lines(fennec::trace::FrameText(Bytes{}, 8)).size(), 2u);
}

TEST(ExtTraceFormat, TheTableDumpEndsWithTheDecision) {
  const std::vector<std::uint16_t> table = Table124(1024, 1, 64);
  const std::vector<std::string> lines =
      Lines(fennec::trace::Table124Text(std::span<const std::uint16_t, 11>(table.data(), 11), true, 2));
  ASSERT_EQ(lines.size(), 2u + 11 + 3);
  EXPECT_EQ(lines[0], "Inhalt der Tabelle 124 des FBC");
  EXPECT_EQ(lines[2], "  0: TableByteSize:                22");
  EXPECT_EQ(lines[7], "  5: FragmentSize:                 64");
  EXPECT_EQ(lines[10], "  8: Reserve1:                      1");
  EXPECT_EQ(lines[13], "Das erweiterte Protokoll wird unterst\xFCtzt: true");
  EXPECT_EQ(lines[14], "");
}

class ExtProtLogFile : public ::testing::Test {
 protected:
  // The file of a log that was given the frame so many times.
  std::string Logged(unsigned mode, Bytes frame, int times) {
    CExtProtLogFile log(mode, folder.Path().c_str());
    for (int i = 0; i < times; ++i) log.Write(frame.data(), static_cast<unsigned short>(frame.size()));
    return log.GetFileName();
  }

  // Detects a device of fragments of 100 bytes and reads one register of it, with the log.
  static std::uint16_t ReadRegister(CExtProtLogFile& log, std::uint16_t number) {
    Detected detected(Table124(0, 1, 100), &log);
    ScriptedConnection line;
    ExtDevice device(line, 100);
    device.handler = NumberedRegisters;
    CExtProtokoll protokoll(&line, &detected.detection, &log);
    std::uint16_t word = 0;
    EXPECT_EQ(protokoll.ExecuteRegComm(&word, {0, 110, number, 1, 1}), 0u);
    return word;
  }

  TempFolder folder;
};

TEST_F(ExtProtLogFile, TheHeadingComesFirstAndEachFrameIsOneLine) {
  const std::string name = Logged(1, kOldAnswer, 2);
  EXPECT_EQ(std::filesystem::path(name).parent_path(), folder.Path());
  EXPECT_TRUE(std::filesystem::path(name).filename().string().starts_with("ExtProt-"));
  const std::vector<std::string> lines = Lines(Content(name));
  ASSERT_EQ(lines.size(), 6u + 2);
  EXPECT_EQ(lines[0], "   H    Len   P  C  Frag  S Err usLen KlNr TabNr RegNr RegCnt Err  Daten Check");
  EXPECT_EQ(lines[5], "   r       h  D        h     e  o  i                           e       h     h");
  EXPECT_EQ(lines[6], " 02 fd 0e 00 00 01 72 00 63 00 00 00 e3 01");
}

TEST_F(ExtProtLogFile, TheDetailedViewHasNoHeading) {
  EXPECT_TRUE(Content(Logged(8, kOldAnswer, 1)).starts_with("Altes Protokoll!\r\n"));
}

TEST_F(ExtProtLogFile, TheDirectoryMayComeFromTheEnvironment) {
  ASSERT_EQ(setenv("FENNEC_TRACE_DIR", folder.Path().c_str(), 1), 0);
  const CExtProtLogFile log;
  unsetenv("FENNEC_TRACE_DIR");
  EXPECT_EQ(std::filesystem::path(log.GetFileName()).parent_path(), folder.Path());
  EXPECT_TRUE(std::filesystem::exists(log.GetFileName()));
}

// The trace of a detection and of one read: the table, then one line for the request and one
// for the answer.
TEST_F(ExtProtLogFile, TheProtocolWritesTheTableAndEveryFrame) {
  std::string name;
  {
    CExtProtLogFile log(1, folder.Path().c_str());
    name = log.GetFileName();
    EXPECT_EQ(ReadRegister(log, 0), 0x1000);
  }
  const std::vector<std::string> lines = Lines(Content(name));
  ASSERT_EQ(lines.size(), 6u + 16 + 2);
  EXPECT_EQ(lines[6], "Inhalt der Tabelle 124 des FBC");
  EXPECT_EQ(lines[19], "Das erweiterte Protokoll wird unterst\xFCtzt: true");
  EXPECT_TRUE(lines[22].starts_with(" fd 02 18 00 24 01")) << lines[22];
  EXPECT_TRUE(lines[23].starts_with(" 02 fd 1a 00 24 81")) << lines[23];
}

// A log that cannot be opened drops what it is given; the protocol runs as without it.
TEST_F(ExtProtLogFile, AFileThatCannotBeOpenedNeverStopsTheProtocol) {
  const std::string missing = (folder.Path() / "no" / "such" / "folder").string();
  CExtProtLogFile log(15, missing.c_str());
  EXPECT_EQ(ReadRegister(log, 5), 0x1005);
  EXPECT_FALSE(std::filesystem::exists(log.GetFileName()));
}
