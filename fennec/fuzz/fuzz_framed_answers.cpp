// libFuzzer target that plays the device on the network road: arbitrary bytes become the answers
// to the frames CServiceProtocol writes, under the device API, the update API and the TCP/IP
// service, over an in-memory connection.
//
// Input:
//   byte 0     the call to make (index into kCalls, modulo its size)
//   bytes 1-2  two argument bytes for the calls that take arguments
//   byte 3     the protocol's settings: bits 0-2 choose MaxFragmentDataSize (4 << n, or 1400 for 7),
//              bits 3-4 MaxRetries
//   then one answer per frame the library writes, in order:
//     a control byte, a status byte, a length byte, then that many bytes.
//     control bit 0: the bytes are the data of a frame whose header repeats the written frame's,
//                    its status bits changed by the status byte (low byte) and bit 6 of the
//                    control byte (the fetch bit), so that they reach the protocol's checks and
//                    the decoders; otherwise they go on the line as they are;
//     control bit 1: the result field is not 0.
//   An empty answer leaves that frame unanswered: the read times out. Once the answers run out
//   the line stays silent. The pure decoders also get the raw input.
// Calls that sleep the wait a device asks for are left out; their decoding is the API's, which
// the device API calls cover.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Communication/FrameHeader.h"
#include "Communication/ServiceAPI.h"
#include "Communication/ServiceProtocol.h"
#include "Communication/UpdateAPI.h"
#include "PairText.h"
#include "ScriptedConnection.h"
#include "TCPIPService.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint8_t kWellFormed = 0x01;
constexpr std::uint8_t kOtherResult = 0x02;
constexpr std::uint8_t kFetchBit = 0x40;

struct Answer {
  std::uint8_t control = 0;
  std::uint8_t status = 0;
  Bytes bytes;
};

std::deque<Answer> ReadAnswers(std::span<const std::uint8_t> input) {
  std::deque<Answer> answers;
  while (input.size() >= 3) {
    const auto bytes = input.subspan(3, std::min<std::size_t>(input[2], input.size() - 3));
    answers.push_back({input[0], input[1], Bytes(bytes.begin(), bytes.end())});
    input = input.subspan(3 + bytes.size());
  }
  return answers;
}

// The written frame's header with the answer's status bits, result and data.
Bytes Framed(const Bytes& written, const Answer& answer) {
  const auto header = static_cast<std::ptrdiff_t>(std::min<std::size_t>(written.size(), 18));
  Bytes frame(written.begin(), written.begin() + header);
  frame.resize(18, 0);
  frame[12] = (answer.control & kOtherResult) != 0 ? 1 : 0;
  frame[14] ^= answer.status;
  frame[15] ^= (answer.control & kFetchBit) != 0 ? 0x40 : 0;
  frame[16] = static_cast<unsigned char>(answer.bytes.size() & 0xFF);
  frame[17] = static_cast<unsigned char>(answer.bytes.size() >> 8);
  frame.insert(frame.end(), answer.bytes.begin(), answer.bytes.end());
  return frame;
}

void PlayDevice(std::span<const std::uint8_t> input, ScriptedConnection& line) {
  line.respond = [answers = ReadAnswers(input)](const Bytes& written) mutable -> Bytes {
    if (answers.empty()) return {};
    const Answer answer = std::move(answers.front());
    answers.pop_front();
    return (answer.control & kWellFormed) != 0 ? Framed(written, answer) : answer.bytes;
  };
}

struct Target {
  ORLA::CServiceAPI& api;
  ORLA::CUpdateAPI& update;
  CTCPIPService& service;
  std::uint8_t first;
  std::uint8_t second;
};

using Call = std::function<void(Target&)>;

const std::array<Call, 58> kCalls{
    // The device API.
    [](Target& t) { unsigned short a, b, c; char* s = nullptr; t.api.IdentifyDevice(a, b, c, &s); delete[] s; },
    [](Target& t) { t.api.EnableWriteAccess(t.first != 0); },
    [](Target& t) { unsigned short r; t.api.RestartSystem(r); },
    [](Target& t) { unsigned short r; t.api.ResetParameter(r); },
    [](Target& t) { unsigned short r; t.api.StoreParameter(r); },
    [](Target& t) { ORLA::t_DeviceStates s; t.api.GetDeviceState(&s); },
    [](Target& t) { t.api.EnableMonitorMode(t.first != 0); },
    [](Target& t) { t.api.EnableControlMode(t.first != 0); },
    [](Target& t) { char* s = nullptr; t.api.GetNetworkID(&s); delete[] s; },
    [](Target& t) { const ORLA::t_Test_Bits bits{t.first}; t.api.SetFactoryTestMode(&bits); },
    [](Target& t) { ORLA::t_KBusState s; t.api.GetTerminalBusState(&s); },
    [](Target& t) { char* s = nullptr; t.api.GetInternalVariables(&s); delete[] s; },
    [](Target& t) { unsigned short n; ORLA::t_Table_Details* d = nullptr; t.api.GetTableInfo(n, &d); delete[] d; },
    [](Target& t) { t.api.EnableTerminalBusExtension(t.first != 0); },
    [](Target& t) { unsigned int time; short offset; t.api.GetRealTimeClock(time, offset); },
    [](Target& t) { t.api.SetRealTimeClock(t.first * 0x01010101u, static_cast<short>(t.second)); },
    [](Target& t) { t.api.ControlParamSequence(t.first, t.second, 3); },
    [](Target& t) { unsigned short r; t.api.RestartTerminalBus(r); },
    [](Target& t) { unsigned short s; t.api.GetCommandState(static_cast<unsigned short>(t.first << 8 | t.second), s); },
    [](Target& t) { unsigned short s; t.api.GetTerminalBusMonitorSize(s); },
    [](Target& t) { unsigned short r; t.api.SetTerminalBusMonitorFirst(r); },
    [](Target& t) { ORLA::t_KBMEntry e; t.api.GetTerminalBusMonitorEntry(&e); },
    [](Target& t) { unsigned short r; t.api.ClearTerminalBusMonitor(r); },
    [](Target& t) { unsigned short r; t.api.ExtractFiles(r, ORLA::eFileGroups{t.first}); },
    [](Target& t) { unsigned short r; const unsigned short v = t.first; t.api.FormatFileSystem(r, v); },
    [](Target& t) { unsigned short r; t.api.RefreshFilesystem(r, ORLA::eFileGroups{t.first}); },
    [](Target& t) { unsigned short a, b; t.api.GetExtractFilesState(a, b); },
    [](Target& t) {
      std::array<unsigned short, 256> words{};
      t.api.ReadRegister(0, t.first, t.second, static_cast<unsigned short>(t.first + t.second), words.data());
    },
    [](Target& t) {
      const std::array<unsigned short, 256> words{};
      t.api.WriteRegister(0, t.first, 0, static_cast<unsigned short>(t.second), words.data());
    },
    // The update API.
    [](Target& t) { unsigned short a, b, c; char* s = nullptr; t.update.IdentifyDevice(a, b, c, &s); delete[] s; },
    [](Target& t) { unsigned short r; t.update.ShutdownPrograms(r); },
    [](Target& t) { unsigned short r; t.update.RestartMinimalSystem(r); },
    [](Target& t) { t.update.SaveDataToFlash(); },
    [](Target& t) { unsigned short a, b; t.update.GetSaveDataToFlashState(a, b); },
    [](Target& t) { unsigned short r; t.update.RestartSystem(r); },
    [](Target& t) { unsigned short s; t.update.GetCommandState(t.first, s); },
    [](Target& t) {
      std::vector<char> data(static_cast<std::size_t>(t.first) * 16 + t.second);
      t.update.UploadRawHexFileToDevice(data.data(), static_cast<long>(data.size()), nullptr, nullptr);
    },
    [](Target& t) { unsigned short r; t.update.EraseFlash(r); },
    [](Target& t) { unsigned short a, b; t.update.GetExtractFilesState(a, b); },
    // The TCP/IP service, without the calls that sleep.
    [](Target& t) { t.service.EnableParamWriting(t.first != 0); },
    [](Target& t) { std::vector<std::uint16_t> v; t.service.GetFBCStates(v); },
    [](Target& t) { std::string a, b, c, d; t.service.IdentifyDevice(a, b, c, d); },
    [](Target& t) { double baud; t.service.GetFieldbusBaudrate(baud); },
    [](Target& t) { std::string a, b; t.service.GetNetworkID(a, b); },
    [](Target& t) { std::string a; t.service.GetSerialNumber(a); },
    [](Target& t) { std::vector<std::uint16_t> v; t.service.GetTerminalBusState(v); },
    [](Target& t) { std::string a, b; t.service.GetProductionMarking(a, b); },
    [](Target& t) {
      std::string a, b;
      t.service.GetInternalVariable(static_cast<std::uint16_t>(t.first << 8 | t.second), a, b);
    },
    [](Target& t) { std::string a; t.service.GetFWLVersion(a); },
    [](Target& t) { std::vector<tFBCTable> v; t.service.GetTableInfo(v); },
    [](Target& t) { std::string a, b; t.service.GetCPUInfo(a, b); },
    [](Target& t) { std::uint32_t time; std::uint16_t second; t.service.GetRealTimeClock(time, second); },
    [](Target& t) { tKBMonEntry e; std::int64_t now; t.service.GetTerminalBusMonitorEntry(e, &now); },
    [](Target& t) { std::uint16_t n; t.service.GetTerminalBusMonitorSize(n); },
    [](Target& t) { tServiceState s; t.service.GetServiceState(t.first, t.second, s); },
    [](Target& t) { tKBMonEntryEx e; t.service.GetTerminalBusMonitorEntryEx(e); },
    [](Target& t) {
      std::array<std::uint16_t, 256> words{};
      t.service.ReadRegister(0, t.first, t.second, 256u - t.second, words.data());
    },
    [](Target& t) { std::string a, b; t.service.GetInternalVariable(t.first, a, b); },
};

void DecodeDirectly(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= fennec::framed::kHeaderSize) {
    const auto header = fennec::framed::DecodeHeader(bytes.first<fennec::framed::kHeaderSize>());
    fennec::framed::CheckAnswer(header, fennec::framed::DecodeHeader(bytes.last<fennec::framed::kHeaderSize>()));
  }
  fennec::framed::AnnouncedNumber(bytes);
  const std::string text(bytes.begin(), bytes.end());
  const auto tokens = fennec::pairs::Tokens(text, "=;");
  fennec::pairs::ValueOf(tokens, tokens.empty() ? "" : tokens.front());
}

std::string ProtocolSettings(std::uint8_t byte) {
  const unsigned size = (byte & 7) == 7 ? 1400u : 4u << (byte & 7);
  return "<ServiceProtocol MaxFragmentDataSize='" + std::to_string(size) + "' MaxRetries='" +
         std::to_string((byte >> 3) & 3) + "'/>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  DecodeDirectly(input);
  if (input.size() < 4) return 0;

  ScriptedConnection line;
  line.Open();
  PlayDevice(input.subspan(4), line);
  ORLA::CServiceProtocol protocol(&line);
  protocol.SetSettingsXML(ProtocolSettings(input[3]));
  ORLA::CServiceAPI api(&protocol);
  ORLA::CUpdateAPI update(&protocol);
  CTCPIPService service(&line);
  Target target{api, update, service, input[1], input[2]};
  kCalls[input[0] % kCalls.size()](target);
  return 0;
}
