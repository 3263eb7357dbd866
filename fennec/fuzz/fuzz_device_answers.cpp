// libFuzzer target that plays the device: arbitrary bytes become the answers to the register
// telegrams of CSIORegComm and to every service of CSIOService, over an in-memory connection.
//
// Input:
//   byte 0     the call to make (index into kCalls, modulo its size)
//   bytes 1-2  two argument bytes for the calls that take arguments
//   then one answer per telegram the library writes, in order:
//     a control byte, a length byte, then that many bytes.
//     control bit 0: the bytes are the data of a well-formed response (start identifier, length
//                    and checksum made right, and the header of the request it answers), so that
//                    they reach the decoders; otherwise they go on the line as they are;
//     control bit 1: the device's reject bit is set in the well-formed response;
//     control bit 2: the answer arrives only after the read has timed out;
//     control bit 3: the well-formed response carries the header of a read of table 99 from
//                    register 0 instead, with as many words as the bytes make: most often an
//                    answer to another request.
// Once the answers run out the line stays silent. The pure decoders also get the raw input.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ORLAHelpFunktions.h"
#include "RegTelegram.h"
#include "SIORegComm.h"
#include "SIOService.h"
#include "ScriptedConnection.h"
#include "ServiceDecoders.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint8_t kWellFormed = 0x01;
constexpr std::uint8_t kRejected = 0x02;
constexpr std::uint8_t kLate = 0x04;
constexpr std::uint8_t kOwnHeader = 0x08;
constexpr std::size_t kMaxData = CSIORegComm::MAX_TELE_LEN - CSIORegComm::MIN_TELE_LEN;

Bytes WithChecksum(Bytes telegram) {
  const std::uint16_t sum = CORLAHelpFunktions::CalculateChecksum(telegram.data(), telegram.size());
  telegram.push_back(static_cast<unsigned char>(sum & 0xFF));
  telegram.push_back(static_cast<unsigned char>(sum >> 8));
  return telegram;
}

Bytes WellFormed(std::span<const std::uint8_t> data, bool rejected) {
  const auto payload = data.first(std::min(data.size(), kMaxData) & ~std::size_t{1});
  Bytes telegram{CSIORegComm::SRX_LOBYTE, CSIORegComm::SRX_HIBYTE,
                 static_cast<unsigned char>(CSIORegComm::MIN_TELE_LEN + payload.size()), 0, 0,
                 static_cast<unsigned char>(payload.size() / 2), 'R', 0,
                 static_cast<unsigned char>(rejected ? 0x80 | 99 : 99), 0};
  telegram.insert(telegram.end(), payload.begin(), payload.end());
  return WithChecksum(std::move(telegram));
}

// The answer to this request: its header, and for a read as many words as it asked for, from
// the bytes and then zeros; a rejection carries the first two bytes as the device's code.
Bytes WellFormedTo(const Bytes& request, const Bytes& data, bool rejected) {
  constexpr std::uint8_t kWriteFlag = 0x80;
  if (request.size() < CSIORegComm::MIN_TELE_LEN) return WellFormed(data, rejected);
  const bool read = (request[8] & kWriteFlag) == 0;
  const std::size_t length = rejected ? 2 : read ? 2u * request[5] : 0;
  Bytes telegram{CSIORegComm::SRX_LOBYTE, CSIORegComm::SRX_HIBYTE,
                 static_cast<unsigned char>(CSIORegComm::MIN_TELE_LEN + length), 0, 0, request[5], 'R', request[7],
                 static_cast<unsigned char>((request[8] & ~kWriteFlag) | (rejected ? 0x80 : 0)), request[9]};
  for (std::size_t i = 0; i < length; ++i) telegram.push_back(i < data.size() ? data[i] : 0);
  return WithChecksum(std::move(telegram));
}

void QueueAnswers(std::span<const std::uint8_t> input, ScriptedConnection& line) {
  while (input.size() >= 2) {
    const std::uint8_t control = input[0];
    const auto bytes = input.subspan(2, std::min<std::size_t>(input[1], input.size() - 2));
    input = input.subspan(2 + bytes.size());
    const bool rejected = (control & kRejected) != 0;
    const bool late = (control & kLate) != 0;
    if ((control & kWellFormed) != 0 && (control & kOwnHeader) == 0) {
      line.QueueBuiltReply([data = Bytes(bytes.begin(), bytes.end()), rejected](const Bytes& request) {
        return WellFormedTo(request, data, rejected);
      }, late);
      continue;
    }
    Bytes answer = (control & kWellFormed) != 0 ? WellFormed(bytes, rejected) : Bytes(bytes.begin(), bytes.end());
    if (late)
      line.QueueLateReply(std::move(answer));
    else
      line.QueueReply(std::move(answer));
  }
}

struct Target {
  CSIORegComm& regComm;
  CSIOService& service;
  std::uint8_t first;
  std::uint8_t second;
};

using Call = std::function<void(Target&)>;

// RestartSystem is left out: its poll delay sleeps, and its path is EnableParamWriting's plus
// the poll loop, which ExecuteService covers.
const std::array<Call, 38> kCalls{
    [](Target& t) {
      const unsigned count = std::min(256u - t.second, 100u);
      std::array<std::uint16_t, 100> words{};
      t.regComm.ReadRegister(0, t.first & 0x7F, t.second, count, words.data());
    },
    [](Target& t) {
      const std::array<std::uint16_t, 50> words{};
      t.regComm.WriteRegister(0, t.first & 0x7F, t.second, std::min(256u - t.second, 50u), words.data());
    },
    [](Target& t) {
      std::array<unsigned char, 88> data{};
      CSIOService::tServiceInfo info{1, t.first, static_cast<std::uint16_t>(t.first % 43),
                                     static_cast<std::uint16_t>(t.second % 45), 0};
      t.service.ExecuteService(info, data.data());
    },
    [](Target& t) { t.service.EnableParamWriting(t.first != 0); },
    [](Target& t) { std::uint16_t w; t.service.GetParameterChecksum(w); },
    [](Target& t) { t.service.SetFactoryDefaults(); },
    [](Target& t) { t.service.SaveParameter(); },
    [](Target& t) { std::vector<std::uint16_t> v; t.service.GetFBCStates(v); },
    [](Target& t) { std::uint16_t w; t.service.GetAddressSwitchSetting(w); },
    [](Target& t) { std::string a, b, c, d; t.service.IdentifyDevice(a, b, c, d); },
    [](Target& t) { double baud; t.service.GetFieldbusBaudrate(baud); },
    [](Target& t) { t.service.EnableBKMonitorMode(t.first != 0); },
    [](Target& t) { t.service.EnableBKControlMode(t.first != 0); },
    [](Target& t) { std::string a, b; t.service.GetNetworkID(a, b); },
    [](Target& t) { std::string a; t.service.GetSerialNumber(a); },
    [](Target& t) { t.service.SetFactoryTestMode(static_cast<std::uint16_t>(t.first | (t.second << 8))); },
    [](Target& t) { std::vector<std::uint16_t> v; t.service.GetTerminalBusState(v); },
    [](Target& t) { std::string a, b; t.service.GetProductionMarking(a, b); },
    [](Target& t) { std::string a, b; t.service.GetInternalVariable(t.first, a, b); },
    [](Target& t) { std::string a; t.service.GetFWLVersion(a); },
    [](Target& t) { std::vector<tFBCTable> v; t.service.GetTableInfo(v); },
    [](Target& t) { std::string a, b; t.service.GetCPUInfo(a, b); },
    [](Target& t) { t.service.EnableTerminalBusExtension(t.first != 0); },
    [](Target& t) { std::uint32_t time; std::uint16_t second; t.service.GetRealTimeClock(time, second); },
    [](Target& t) { t.service.SetRealTimeClock(t.first * 0x01010101u, t.second); },
    [](Target& t) { t.service.ControlParamSequence(t.first, t.second, 3); },
    [](Target& t) { std::uint16_t e, a, b; t.service.TerminalBusReset(e, a, b); },
    [](Target& t) { t.service.ClearTerminalBusMonitor(); },
    [](Target& t) { t.service.ResetTerminalBusMonitorPtr(); },
    [](Target& t) { tKBMonEntry e; std::int64_t now; t.service.GetTerminalBusMonitorEntry(e, &now); },
    [](Target& t) { std::uint16_t n; t.service.GetTerminalBusMonitorSize(n); },
    [](Target& t) { tServiceState s; t.service.GetServiceState(t.first, t.second, s); },
    [](Target& t) { t.service.ExtractFiles(t.first); },
    [](Target& t) { t.service.FormatFlashDisk(t.first); },
    [](Target& t) { tKBMonEntryEx e; t.service.GetTerminalBusMonitorEntryEx(e); },
    [](Target& t) { std::vector<tKBMonEntryEx> v(t.first % 3); t.service.GetTerminalBusMonitorEntries(v); },
    [](Target& t) {
      std::array<std::uint16_t, 44> words{};
      t.service.ReadRegister(t.first, t.second & 0x7F, 0, 44, words.data());
    },
    [](Target& t) {
      std::array<std::uint16_t, 1> word{};
      t.service.WriteRegister(0, t.first & 0x7F, t.second, 1, word.data());
    },
};

void DecodeDirectly(std::span<const std::uint8_t> bytes) {
  fennec::telegram::VerifyResponse(bytes);
  std::array<std::uint16_t, 44> words{};
  fennec::telegram::CopyReadData(bytes, std::span(words).first(bytes.empty() ? 0 : bytes[0] % 45));
  fennec::service::DecodeStrings(bytes, bytes.empty() ? 0 : bytes[0] % 5);
  std::vector<tFBCTable> tables;
  fennec::service::AppendTableInfo(bytes, tables);
  fennec::service::DecodeMonitorEntry(bytes);
  std::string name, value;
  fennec::service::ParseInternalVariable(bytes.empty() ? 0 : bytes[0],
                                         std::string(bytes.begin(), bytes.end()), name, value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  DecodeDirectly(input);
  if (input.size() < 3) return 0;

  ScriptedConnection line;
  line.Open();
  QueueAnswers(input.subspan(3), line);
  CSIORegComm regComm(&line);
  regComm.SetFragmentSize(input[1] % 46);
  CSIOService service(&line);
  Target target{regComm, service, input[1], input[2]};
  kCalls[input[0] % kCalls.size()](target);
  return 0;
}
