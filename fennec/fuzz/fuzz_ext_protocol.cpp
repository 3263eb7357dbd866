// libFuzzer target that plays the device of the extended protocol: arbitrary bytes become the
// frames answering CExtFragmentation, CExtProtokoll and the extended services over an in-memory
// connection.
//
// Input:
//   byte 0     the call to make (index into kCalls, modulo its size)
//   byte 1     the FragmentSize the device announces
//   byte 2     bits 0-1 FragmentEnable, bits 2-7 TargetBufSize in units of 16 bytes (0: none)
//   bytes 3-4  two argument bytes for the calls that take arguments
//   then one answer per frame the library writes, in order:
//     a control byte, a length byte, then that many bytes.
//     control bit 0: the bytes are Cmd, FragCnt (2 bytes), SeqNr, Err and data of a frame whose
//                    start bytes, Len, ProtID and checksum are made right, so that they reach the
//                    state machine; otherwise they go on the line as they are;
//     control bit 1: the SeqNr is the one of the frame answered;
//     control bit 2: the Cmd is the answer to the message's command.
// Once the answers run out the line stays silent. The pure codecs also get the raw input.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Common/OrlaException.h"
#include "ExtFragments.h"
#include "ExtFrame.h"
#include "ExtMessage.h"
#include "ExtProtokoll.h"
#include "ExtRegComm.h"
#include "ExtService.h"
#include "ORLAHelpFunktions.h"
#include "ProtDetection.h"
#include "SIOService.h"
#include "ScriptedConnection.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint8_t kWellFormed = 0x01;
constexpr std::uint8_t kFollowSeqNr = 0x02;
constexpr std::uint8_t kFollowCmd = 0x04;
constexpr std::size_t kFieldBytes = 5;  // Cmd, FragCnt, SeqNr, Err

std::uint16_t Sum(const Bytes& bytes) {
  return CORLAHelpFunktions::CalculateChecksum(bytes.data(), bytes.size());
}

void AppendWord(Bytes& bytes, std::uint16_t word) {
  bytes.push_back(static_cast<unsigned char>(word & 0xFF));
  bytes.push_back(static_cast<unsigned char>(word >> 8));
}

// Table 124 as the legacy reads of the detection deliver it.
Bytes ReadAnswer(const std::vector<std::uint16_t>& words) {
  Bytes telegram{0x02, 0xFD, static_cast<unsigned char>(12 + 2 * words.size()), 0, 0,
                 static_cast<unsigned char>(words.size()), 'r', 0, 124, 0};
  for (const std::uint16_t word : words) AppendWord(telegram, word);
  AppendWord(telegram, Sum(telegram));
  return telegram;
}

std::vector<std::uint16_t> Table124(std::uint8_t fragmentSize, std::uint8_t flags) {
  std::vector<std::uint16_t> table{22, 0, 1, static_cast<std::uint16_t>((flags >> 2) * 16), static_cast<std::uint16_t>(flags & 3),
                                   fragmentSize, 500, 1000, 1, 0, 0};
  std::uint16_t sum = 0;
  for (const std::uint16_t word : table) sum = static_cast<std::uint16_t>(sum + word);
  table[1] = static_cast<std::uint16_t>(0x10000 - sum);
  return table;
}

// Plays the answers: each frame written takes the next one from the input.
class Device {
 public:
  explicit Device(std::span<const std::uint8_t> input) : m_input(input) {}

  Bytes Answer(const Bytes& request) {
    if (request.size() >= 10 && request[5] != 0) m_messageCmd = request[5];
    if (m_input.size() < 2) return {};
    const std::uint8_t control = m_input[0];
    const auto bytes = m_input.subspan(2, std::min<std::size_t>(m_input[1], m_input.size() - 2));
    m_input = m_input.subspan(2 + bytes.size());
    if ((control & kWellFormed) == 0 || bytes.size() < kFieldBytes) return Bytes(bytes.begin(), bytes.end());
    Bytes frame{0x02, 0xFD, 0, 0, '$'};
    frame.insert(frame.end(), bytes.begin(), bytes.end());
    if ((control & kFollowCmd) != 0) frame[5] = static_cast<unsigned char>(m_messageCmd | 0x80);
    if ((control & kFollowSeqNr) != 0 && request.size() > 8) frame[8] = request[8];
    frame[2] = static_cast<unsigned char>((frame.size() + 2) & 0xFF);
    frame[3] = static_cast<unsigned char>((frame.size() + 2) >> 8);
    AppendWord(frame, Sum(frame));
    return frame;
  }

 private:
  std::span<const std::uint8_t> m_input;
  unsigned char m_messageCmd = 0;
};

struct Target {
  CExtProtokoll& protokoll;
  CExtService& service;
  CExtRegComm& regComm;
  std::uint8_t first;
  std::uint8_t second;
};

using Call = std::function<void(Target&)>;

const std::array<Call, 16> kCalls{
    [](Target& t) {
      std::vector<std::uint16_t> words(t.first * 2u + 1);
      t.protokoll.ExecuteRegComm(words.data(), {0, 110, t.second, static_cast<std::uint16_t>(words.size()), 1});
    },
    [](Target& t) {
      std::vector<std::uint16_t> words(t.first + 1u, 0x5A5A);
      t.protokoll.ExecuteRegComm(words.data(), {0, 110, t.second, static_cast<std::uint16_t>(words.size()), 2});
    },
    [](Target& t) {
      Bytes data(std::max(t.first, t.second), 0x11);
      t.protokoll.ExecuteService(data.data(), {1, 8, t.first, t.second});
    },
    [](Target& t) {
      Bytes data(t.first * 3u, 0x3C);
      t.protokoll.TestCommand(data.data(), static_cast<std::uint16_t>(data.size()));
    },
    [](Target& t) { t.protokoll.TestCommand(); },
    [](Target& t) {
      std::uint16_t word = 0;
      t.protokoll.ExecuteRegComm(&word, {0, 110, 0, 1, t.first});
    },
    [](Target& t) {
      std::string a, b, c, d;
      t.service.IdentifyDevice(a, b, c, d);
    },
    [](Target& t) {
      std::vector<tFBCTable> tables;
      t.service.GetTableInfo(tables);
    },
    [](Target& t) {
      std::string name, value;
      t.service.GetInternalVariable(t.first, name, value);
    },
    [](Target& t) {
      std::vector<std::uint16_t> states(t.first % 3);
      t.service.GetTerminalBusState(states);
      t.service.GetFBCStates(states);
    },
    [](Target& t) {
      tKBMonEntry entry{};
      std::int64_t now = 0;
      t.service.GetTerminalBusMonitorEntry(entry, &now);
    },
    [](Target& t) {
      std::uint16_t e = 0, a = 0, b = 0;
      t.service.TerminalBusReset(e, a, b);
    },
    [](Target& t) {
      std::uint32_t time = 0;
      std::uint16_t zone = 0;
      t.service.GetRealTimeClock(time, zone);
      t.service.RestartSystem();
    },
    [](Target& t) {
      tServiceState state{};
      t.service.GetServiceState(t.first, t.second, state);
    },
    [](Target& t) {
      std::vector<std::uint16_t> words(t.first * 2u + 1);
      t.regComm.ReadRegister(0, 300u + t.second, t.second * 2u, static_cast<unsigned>(words.size()), words.data());
    },
    [](Target& t) {
      std::vector<std::uint16_t> words(t.first + 1u, 0xA5A5);
      t.service.WriteRegister(t.second, 110, 0, static_cast<unsigned>(words.size()), words.data());
    },
};

// The codecs on their own, on the raw input.
void DecodeDirectly(std::span<const std::uint8_t> bytes) {
  using namespace fennec::ext;
  if (bytes.size() >= kLeadLength) CheckLead(bytes.first<kLeadLength>(), bytes[0]);
  const auto frame = DecodeFrame(bytes);
  std::vector<std::uint8_t> answer(bytes.empty() ? 0 : bytes[0]);
  Reassembly reassembly{0, static_cast<std::uint16_t>(bytes.size() > 1 ? bytes[1] : 0)};
  if (frame) {
    StoreFragment(reassembly, *frame, answer, bytes.size() > 2 ? bytes[2] : 0);
    ExamineOldProtocolAnswer(*frame, bytes, *frame);
  }
  std::vector<std::uint8_t> padded(bytes.begin(), bytes.end());
  padded.resize(std::max<std::size_t>(padded.size(), kMessageHeader));
  CheckRegisterAnswer(padded, bytes.size(), {0, 110, 0, 1, 1});
  CheckServiceAnswer(padded, bytes.size(), {1, 8, 0, 82});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  DecodeDirectly(input);
  if (input.size() < 5) return 0;

  ScriptedConnection tableLine;
  tableLine.Open();
  const std::vector<std::uint16_t> table = Table124(input[1], input[2]);
  tableLine.QueueReply(ReadAnswer({table[0]}));
  tableLine.QueueReply(ReadAnswer(table));
  CSIOService legacy(&tableLine);
  CProtDetection detection(&legacy, nullptr);
  detection.DetectProtokollType();

  ScriptedConnection line;
  line.Open();
  Device device(input.subspan(5));
  line.respond = [&device](const Bytes& request) { return device.Answer(request); };
  CExtProtokoll protokoll(&line, &detection, nullptr);
  CExtService service(&protokoll);
  CExtRegComm regComm(&protokoll);
  Target target{protokoll, service, regComm, input[3], input[4]};
  try {
    kCalls[input[0] % kCalls.size()](target);
  } catch (const COrlaException&) {
    // A device error, too many fragments or an invalid command: the protocol's own way out.
  }
  return 0;
}
