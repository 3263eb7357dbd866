// The message layer of the extended protocol against a scripted device: size checks before any
// exchange, device errors as exceptions, short answers and the echo test.
#include <gtest/gtest.h>

#include <memory>

#include "Common/OrlaException.h"
#include "ExtDevice.h"
#include "ExtProtokoll.h"

using namespace ext_bytes;

namespace {

class Protokoll : public ::testing::Test {
 protected:
  void Announce(std::uint16_t targetBufSize, std::uint16_t fragmentEnable, std::uint16_t fragmentSize) {
    detected = std::make_unique<Detected>(Table124(targetBufSize, fragmentEnable, fragmentSize));
    protokoll = std::make_unique<CExtProtokoll>(&line, &detected->detection, nullptr);
    device = std::make_unique<ExtDevice>(line, fragmentSize);
  }

  ScriptedConnection line;
  std::unique_ptr<Detected> detected;
  std::unique_ptr<CExtProtokoll> protokoll;
  std::unique_ptr<ExtDevice> device;
};

}  // namespace

TEST_F(Protokoll, AnUnknownAccessTypeThrows543) {
  Announce(0, 1, 64);
  std::uint16_t word = 0;
  try {
    protokoll->ExecuteRegComm(&word, {0, 110, 0, 1, 3});
    FAIL() << "no exception";
  } catch (const COrlaException& failure) {
    EXPECT_EQ(failure.m_nNumber, 543);
    EXPECT_STREQ(failure.m_szText, "Ungültiges Kommando: 0x3");
  }
  EXPECT_TRUE(line.writes.empty());
}

TEST_F(Protokoll, AWriteCarriesItsWordsAndIsAnsweredByItsHeader) {
  Announce(1024, 1, 64);
  device->handler = NumberedRegisters;
  std::vector<std::uint16_t> words{0x5A01, 0x5A02, 0x5A03};
  ASSERT_EQ(protokoll->ExecuteRegComm(words.data(), {0, 110, 300, 3, 2}), 0u);
  EXPECT_EQ(device->messages.at(0), Message({18, 0, 110, 300, 3, 0}, {0x01, 0x5A, 0x02, 0x5A, 0x03, 0x5A}));
  EXPECT_EQ(device->received.at(0).cmd, 2);
}

TEST_F(Protokoll, DeviceErrorsAreThrownWithTheDevicesCode) {
  Announce(0, 1, 64);
  device->handler = [](unsigned char cmd, const Bytes&) {
    return cmd == 3 ? Message({14, 1, 8, 0, 2, 0x8201}, {0, 0}) : Message({14, 0, 110, 0, 1, 0x8201}, {0, 0});
  };
  std::uint16_t word = 0;
  try {
    protokoll->ExecuteRegComm(&word, {0, 110, 0, 1, 1});
    FAIL() << "no exception";
  } catch (const COrlaException& failure) {
    EXPECT_EQ(failure.m_nNumber, 0x8201);
    EXPECT_STREQ(failure.m_szText, "Fehler bei der Registerkommunikation");
  }
  unsigned char result[2] = {};
  try {
    protokoll->ExecuteService(result, {1, 8, 0, 2});
    FAIL() << "no exception";
  } catch (const COrlaException& failure) {
    EXPECT_EQ(failure.m_nNumber, 0x8201);
    EXPECT_STREQ(failure.m_szText, "Fehler beim Ausführen des Service");
  }
}

// A message the device cannot take is refused before anything goes on the line.
TEST_F(Protokoll, MessagesTooLargeAreRefusedBeforeAnyExchange) {
  struct Case {
    const char* name;
    std::uint16_t targetBufSize, fragmentEnable, fragmentSize;
    std::uint16_t registers;
    std::uint16_t wrArg;
    std::uint32_t result;
  };
  const Case cases[] = {
      {"507 registers into 1024 bytes", 1024, 1, 64, 507, 0, 31},
      {"27 registers, fragmentation off", 0, 0, 64, 27, 0, 32},
      {"arguments beyond the buffer", 100, 1, 64, 0, 89, 31},
      {"arguments usLen cannot count", 0, 1, 64, 0, 65524, 31},
      {"arguments beyond one fragment", 0, 0, 64, 0, 53, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedConnection silent;
    silent.Open();
    Detected limits(Table124(c.targetBufSize, c.fragmentEnable, c.fragmentSize));
    CExtProtokoll engine(&silent, &limits.detection, nullptr);
    std::vector<std::uint16_t> words(c.registers);
    std::vector<unsigned char> arguments(c.wrArg);
    const std::uint32_t result = c.registers != 0 ? engine.ExecuteRegComm(words.data(), {0, 110, 0, c.registers, 1})
                                                  : engine.ExecuteService(arguments.data(), {1, 99, c.wrArg, 0});
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(silent.writes.empty());
  }
}

TEST_F(Protokoll, TheLargestReadTheBufferTakesGoesThrough) {
  Announce(1024, 1, 64);
  device->handler = NumberedRegisters;
  std::vector<std::uint16_t> words(506);
  ASSERT_EQ(protokoll->ExecuteRegComm(words.data(), {0, 110, 0, 506, 1}), 0u);
  EXPECT_EQ(words[505], 0x1000 + 505);
}

// Short answers (25: shorter than asked for, 26: shorter than its usLen) give the caller the
// bytes that arrived and clear the rest; other failures leave the caller's bytes alone.
TEST_F(Protokoll, AShortServiceAnswerGivesWhatArrivedAndClearsTheRest) {
  struct Case {
    const char* name;
    Bytes answer;
    std::uint32_t result;
    Bytes data;
  };
  const Case cases[] = {
      {"complete", Message({20, 1, 8, 0, 8, 0}, {1, 2, 3, 4, 5, 6, 7, 8}), 0, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"shorter than asked for", Message({16, 1, 8, 0, 8, 0}, {1, 2, 3, 4}), 25, {1, 2, 3, 4, 0, 0, 0, 0}},
      {"shorter than its usLen", Message({20, 1, 8, 0, 8, 0}, {1, 2, 3}), 26, {1, 2, 3, 0, 0, 0, 0, 0}},
      {"only part of a header", {20, 0, 1}, 26, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"another service", Message({20, 1, 9, 0, 8, 0}, {1, 2, 3, 4, 5, 6, 7, 8}), 29, Bytes(8, 0xEE)},
  };
  Announce(0, 1, 64);
  for (const Case& c : cases) {
    device->handler = [&](unsigned char, const Bytes&) { return c.answer; };
    Bytes data(8, 0xEE);
    EXPECT_EQ(protokoll->ExecuteService(data.data(), {1, 8, 0, 8}), c.result) << c.name;
    EXPECT_EQ(data, c.data) << c.name;
  }
}

TEST_F(Protokoll, TheTestCommandSends55AAAsAnEcho) {
  Announce(0, 1, 64);
  EXPECT_EQ(protokoll->TestCommand(), 0u);
  ASSERT_EQ(device->received.size(), 1u);
  EXPECT_EQ(device->received[0].cmd, 127);
  EXPECT_EQ(device->received[0].data, (Bytes{0x55, 0xAA}));
  EXPECT_EQ(device->sent.at(0).cmd, 0xFF);

  device->handler = [](unsigned char, const Bytes&) { return Bytes{0x55, 0xAB}; };
  EXPECT_EQ(protokoll->TestCommand(), 11u);
  device->handler = [](unsigned char, const Bytes&) { return Bytes{0x55}; };
  EXPECT_EQ(protokoll->TestCommand(), 11u);
}

TEST_F(Protokoll, WithoutFragmentationALongEchoGoesInPiecesOfOneFragment) {
  Announce(0, 0, 4);
  const Bytes data{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(protokoll->TestCommand(data.data(), static_cast<std::uint16_t>(data.size())), 0u);
  ASSERT_EQ(device->messages.size(), 3u);
  EXPECT_EQ(device->messages[0], (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(device->messages[2], (Bytes{9, 10}));
  for (const Frame& frame : device->received) EXPECT_FALSE(frame.More());
}
