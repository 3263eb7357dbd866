#include "Communication/ServiceAPI.h"

#include <algorithm>
#include <memory>

#include "Common/ErrorCodes.h"
#include "Communication/CommandBlocks.h"
#include "Platform/Assert.h"
#include "Platform/LastError.h"

namespace ORLA {

using fennec::command::Block;
using fennec::command::HandOverText;
using fennec::command::RequestBlock;
using fennec::command::Response;
using Bytes = std::span<const std::uint8_t>;

namespace {

// The methods' numbers, left as the last command error when there is no device to ask.
enum Number : std::uint32_t {
  kConnect = 1,
  kDisconnect = 2,
  kIdentifyDevice = 3,
  kEnableWriteAccess = 4,
  kRestartSystem = 5,
  kResetParameter = 6,
  kStoreParameter = 7,
  kDeviceState = 8,  // also the terminal-bus state
  kEnableMonitorMode = 9,
  kEnableControlMode = 10,
  kGetNetworkID = 11,
  kSetFactoryTestMode = 12,
  kGetInternalVariables = 13,
  kGetTableInfo = 14,
  kEnableTerminalBusExtension = 15,
  kGetRealTimeClock = 16,
  kSetRealTimeClock = 17,
  kRestartTerminalBus = 18,
  kGetCommandState = 19,
  kGetTerminalBusMonitorSize = 20,
  kSetTerminalBusMonitorFirst = 21,
  kGetTerminalBusMonitorEntry = 22,
  kClearTerminalBusMonitor = 23,
  kExtractFiles = 24,
  kFormatFileSystem = 25,
  kRefreshFilesystem = 26,
  kGetExtractFilesState = 27,
  kReadRegister = 28,
  kWriteRegister = 29,
  kControlParamSequence = 30,
};

constexpr std::uint16_t kWriteAccessKey = 0x6E1B;
constexpr std::uint16_t kControlModeOn = 2;
constexpr std::uint16_t kStillRunning = 0x821D;
constexpr std::uint16_t kRegisterRefused = 0xFFFC;
constexpr std::uint16_t kModuleRegisterError = 0x8302;
constexpr std::size_t kRegisterEcho = 10;
constexpr std::size_t kRegisterData = 12;
constexpr std::size_t kData = 4;
constexpr std::size_t kStateWords = 9;
constexpr std::size_t kTableDetailSize = 4;

// A result word at byte 4.
bool ResultWord(Bytes bytes, unsigned short& result) {
  const auto word = Response(bytes).Word(kData);
  if (word) result = *word;
  return word.has_value();
}

// A switch the device confirms with its word at byte 4.
template <class Confirms>
bool Confirmed(Bytes bytes, bool enable, Confirms confirms) {
  const auto word = Response(bytes).Word(kData);
  return word && confirms(*word) == enable;
}

// A text from byte 4 on, in a buffer as long as the response; a response without one fails.
bool TextFromData(Bytes bytes, char** text) {
  if (bytes.size() <= kData + 1) return false;
  HandOverText(text, bytes.subspan(kData), bytes.size());
  return true;
}

// Nine state words from byte 4.
bool StateWords(Bytes bytes, std::uint16_t (&states)[kStateWords]) {
  const auto words = Response(bytes).Words(kData, kStateWords);
  if (words) std::copy(words->begin(), words->end(), states);
  return words.has_value();
}

}  // namespace

bool CServiceAPI::Fail(std::uint32_t code) {
  m_dwLastCommandError = code;
  fennec::platform::SetThreadLastError(code);
  return false;
}

bool CServiceAPI::Run(std::uint32_t number, std::vector<std::uint8_t> request, Shape shape, const Decoder& decode) {
  if (!IsConnected()) return Fail(number);
  try {
    unsigned char* raw = nullptr;
    unsigned int length = 0;
    const bool answered = m_pProtocol->Request(request.data(), static_cast<unsigned int>(request.size()), &raw, length,
                                               nullptr, nullptr);
    const std::unique_ptr<unsigned char[]> owned(raw);
    if (!answered) return false;  // the protocol has left its code
    const Bytes bytes(raw, length);
    const Response response(bytes);
    const bool registers = shape == Shape::Register;
    const bool echoed = registers ? bytes.size() >= kRegisterEcho &&
                                        std::equal(request.begin(), request.begin() + kRegisterEcho, bytes.begin())
                                  : response.Word(0) == Response(request).Word(0);
    const std::optional<std::uint16_t> status = response.Word(registers ? kRegisterEcho : 2);
    const bool succeeded =
        status && (*status == 0 || (shape == Shape::FileSystem && (*status == 1 || *status == kStillRunning)));
    if (echoed && succeeded && decode(bytes)) return true;
    const std::uint16_t word = status.value_or(0);
    return Fail(fennec::kGroupCoupler | (registers && word == kRegisterRefused ? kModuleRegisterError : word));
  } catch (...) {
    return Fail(number);
  }
}

// Only the last command error: the connection's own failure code stays the thread's last error.
bool CServiceAPI::Connect() {
  if (OpenConnection()) return true;
  m_dwLastCommandError = kConnect;
  return false;
}

bool CServiceAPI::Disconnect() {
  if (CloseConnection()) return true;
  m_dwLastCommandError = kDisconnect;
  return false;
}

bool CServiceAPI::IdentifyDevice(unsigned short& a, unsigned short& b, unsigned short& c, char** text) {
  if (!FENNEC_ASSERT(text != nullptr)) return Fail(kIdentifyDevice);
  return Run(kIdentifyDevice, RequestBlock(0x0108, {}), Shape::Plain, [&](Bytes bytes) {
    constexpr std::size_t kTextAt = 10;
    if (bytes.size() <= kTextAt) return false;
    const Response response(bytes);
    a = *response.Word(4);
    b = *response.Word(6);
    c = *response.Word(8);
    HandOverText(text, bytes.subspan(kTextAt), bytes.size() - 6);
    return true;
  });
}

bool CServiceAPI::EnableWriteAccess(bool enable) {
  return Run(kEnableWriteAccess, RequestBlock(0x0101, {enable ? kWriteAccessKey : std::uint16_t{0}}), Shape::Plain,
             [&](Bytes bytes) { return Confirmed(bytes, enable, [](std::uint16_t word) { return word != 0; }); });
}

bool CServiceAPI::RestartSystem(unsigned short& result) {
  return Run(kRestartSystem, RequestBlock(0x0102, {}), Shape::Plain,
             [&](Bytes bytes) { return ResultWord(bytes, result); });
}

bool CServiceAPI::ResetParameter(unsigned short& result) {
  return Run(kResetParameter, RequestBlock(0x0104, {}), Shape::Plain,
             [&](Bytes bytes) { return ResultWord(bytes, result); });
}

bool CServiceAPI::StoreParameter(unsigned short& result) {
  return Run(kStoreParameter, RequestBlock(0x0105, {}), Shape::Plain,
             [&](Bytes bytes) { return ResultWord(bytes, result); });
}

bool CServiceAPI::GetDeviceState(t_DeviceStates* states) {
  if (!FENNEC_ASSERT(states != nullptr)) return Fail(kDeviceState);
  return Run(kDeviceState, RequestBlock(0x0106, {}), Shape::Plain,
             [&](Bytes bytes) { return StateWords(bytes, states->wStates); });
}

bool CServiceAPI::EnableMonitorMode(bool enable) {
  return Run(kEnableMonitorMode, RequestBlock(0x010A, {enable ? std::uint16_t{1} : std::uint16_t{0}}), Shape::Plain,
             [&](Bytes bytes) { return Confirmed(bytes, enable, [](std::uint16_t word) { return word != 0; }); });
}

bool CServiceAPI::EnableControlMode(bool enable) {
  return Run(kEnableControlMode, RequestBlock(0x010B, {enable ? kControlModeOn : std::uint16_t{0}}), Shape::Plain,
             [&](Bytes bytes) {
               return Confirmed(bytes, enable, [](std::uint16_t word) { return word == kControlModeOn; });
             });
}

bool CServiceAPI::GetNetworkID(char** text) {
  if (!FENNEC_ASSERT(text != nullptr)) return Fail(kGetNetworkID);
  return Run(kGetNetworkID, RequestBlock(0x010C, {}), Shape::Plain,
             [&](Bytes bytes) { return TextFromData(bytes, text); });
}

bool CServiceAPI::SetFactoryTestMode(const t_Test_Bits* bits) {
  if (!FENNEC_ASSERT(bits != nullptr)) return Fail(kSetFactoryTestMode);
  return Run(kSetFactoryTestMode, RequestBlock(0x010E, {bits->wBits}), Shape::Plain,
             [&](Bytes bytes) { return Response(bytes).Word(kData) == bits->wBits; });
}

bool CServiceAPI::GetTerminalBusState(t_KBusState* state) {
  if (!FENNEC_ASSERT(state != nullptr)) return Fail(kDeviceState);
  return Run(kDeviceState, RequestBlock(0x010F, {}), Shape::Plain,
             [&](Bytes bytes) { return StateWords(bytes, state->wStates); });
}

bool CServiceAPI::GetInternalVariables(char** text) {
  if (!FENNEC_ASSERT(text != nullptr)) return Fail(kGetInternalVariables);
  return Run(kGetInternalVariables, RequestBlock(0x0111, {}), Shape::Plain,
             [&](Bytes bytes) { return TextFromData(bytes, text); });
}

// The count comes from the device: the records it announces must all be there.
bool CServiceAPI::GetTableInfo(unsigned short& count, t_Table_Details** tables) {
  if (!FENNEC_ASSERT(tables != nullptr)) return Fail(kGetTableInfo);
  return Run(kGetTableInfo, RequestBlock(0x0113, {}), Shape::Plain, [&](Bytes bytes) {
    const Response response(bytes);
    const std::optional<std::uint16_t> announced = response.Word(kData);
    if (!announced) return false;
    const auto words = response.Words(kData + 2, std::size_t{*announced} * kTableDetailSize / 2);
    if (!words) return false;
    auto details = std::make_unique<t_Table_Details[]>(*announced);
    for (std::size_t i = 0; i < *announced; ++i) details[i] = {(*words)[2 * i], (*words)[2 * i + 1]};
    delete[] *tables;
    *tables = details.release();
    count = *announced;
    return true;
  });
}

bool CServiceAPI::EnableTerminalBusExtension(bool enable) {
  return Run(kEnableTerminalBusExtension, RequestBlock(0x0115, {enable ? std::uint16_t{1} : std::uint16_t{0}}),
             Shape::Plain,
             [&](Bytes bytes) { return Confirmed(bytes, enable, [](std::uint16_t word) { return word != 0; }); });
}

bool CServiceAPI::GetRealTimeClock(unsigned int& time, short& offset) {
  return Run(kGetRealTimeClock, RequestBlock(0x0116, {}), Shape::Plain, [&](Bytes bytes) {
    const Response response(bytes);
    const auto seconds = response.DWord(kData);
    const auto second = response.Word(kData + 4);
    if (!seconds || !second) return false;
    time = *seconds;
    offset = static_cast<short>(*second);
    return true;
  });
}

bool CServiceAPI::SetRealTimeClock(unsigned int time, short offset) {
  const auto low = static_cast<std::uint16_t>(time & 0xFFFF);
  const auto high = static_cast<std::uint16_t>(time >> 16);
  return Run(kSetRealTimeClock, RequestBlock(0x0117, {low, high, static_cast<std::uint16_t>(offset)}), Shape::Plain,
             [](Bytes) { return true; });
}

bool CServiceAPI::ControlParamSequence(const unsigned short& a, const unsigned short& b, const unsigned short& c) {
  return Run(kControlParamSequence, RequestBlock(0x0120, {a, c, b}), Shape::Plain, [](Bytes) { return true; });
}

bool CServiceAPI::RestartTerminalBus(unsigned short& result) {
  return Run(kRestartTerminalBus, RequestBlock(0x0201, {}), Shape::Plain,
             [&](Bytes bytes) { return ResultWord(bytes, result); });
}

bool CServiceAPI::GetCommandState(unsigned short command, unsigned short& state) {
  return Run(kGetCommandState, RequestBlock(0x0221, {command}), Shape::Plain, [&](Bytes bytes) {
    const Response response(bytes);
    const auto answered = response.Word(kData + 2);
    if (response.Word(kData) != command || !answered) return false;
    state = *answered;
    return true;
  });
}

bool CServiceAPI::GetTerminalBusMonitorSize(unsigned short& size) {
  return Run(kGetTerminalBusMonitorSize, RequestBlock(0x0225, {}), Shape::Plain,
             [&](Bytes bytes) { return ResultWord(bytes, size); });
}

// The result comes only in a response of exactly six bytes; a shorter one is success without it.
bool CServiceAPI::SetTerminalBusMonitorFirst(unsigned short& result) {
  return Run(kSetTerminalBusMonitorFirst, RequestBlock(0x0226, {}), Shape::Plain, [&](Bytes bytes) {
    if (bytes.size() == kData + 2) result = *Response(bytes).Word(kData);
    return true;
  });
}

bool CServiceAPI::GetTerminalBusMonitorEntry(t_KBMEntry* entry) {
  if (!FENNEC_ASSERT(entry != nullptr)) return Fail(kGetTerminalBusMonitorEntry);
  return Run(kGetTerminalBusMonitorEntry, RequestBlock(0x0227, {}), Shape::Plain, [&](Bytes bytes) {
    const Response response(bytes);
    const auto eventTick = response.DWord(kData);
    const auto code = response.Word(kData + 4);
    const auto argumentAndFlags = response.Word(kData + 6);
    const auto referenceTick = response.DWord(kData + 8);
    if (!eventTick || !code || !argumentAndFlags || !referenceTick) return false;
    *entry = {*eventTick, *code, static_cast<std::uint8_t>(*argumentAndFlags & 0xFF),
              static_cast<std::uint8_t>(*argumentAndFlags >> 8), *referenceTick};
    return true;
  });
}

bool CServiceAPI::ClearTerminalBusMonitor(unsigned short& result) {
  return Run(kClearTerminalBusMonitor, RequestBlock(0x0228, {}), Shape::Plain, [&](Bytes bytes) {
    if (bytes.size() == kData + 2) result = *Response(bytes).Word(kData);
    return true;
  });
}

bool CServiceAPI::ExtractFiles(unsigned short& result, eFileGroups groups) {
  return Run(kExtractFiles, RequestBlock(0x0301, {groups}), Shape::FileSystem,
             [&](Bytes bytes) { return ResultWord(bytes, result); });
}

bool CServiceAPI::FormatFileSystem(unsigned short& result, const unsigned short& value) {
  return Run(kFormatFileSystem, RequestBlock(0x0302, {value}), Shape::FileSystem,
             [&](Bytes bytes) { return ResultWord(bytes, result); });
}

bool CServiceAPI::RefreshFilesystem(unsigned short& result, eFileGroups groups) {
  return Run(kRefreshFilesystem, RequestBlock(0x0303, {groups}), Shape::FileSystem,
             [&](Bytes bytes) { return ResultWord(bytes, result); });
}

bool CServiceAPI::GetExtractFilesState(unsigned short& a, unsigned short& b) {
  return Run(kGetExtractFilesState, RequestBlock(0x0304, {}), Shape::FileSystem, [&](Bytes bytes) {
    const auto words = Response(bytes).Words(kData, 2);
    if (!words) return false;
    a = (*words)[0];
    b = (*words)[1];
    return true;
  });
}

bool CServiceAPI::ReadRegister(unsigned short p1, unsigned short p2, unsigned short p3, unsigned short count,
                               unsigned short* data) {
  if (!FENNEC_ASSERT(data != nullptr || count == 0)) return Fail(kReadRegister);
  return Run(kReadRegister, RequestBlock(0x0401, {p1, p2, p3, count}), Shape::Register, [&](Bytes bytes) {
    const auto words = Response(bytes).Words(kRegisterData, count);
    if (words) std::copy(words->begin(), words->end(), data);
    return words.has_value();
  });
}

bool CServiceAPI::WriteRegister(unsigned short p1, unsigned short p2, unsigned short p3, unsigned short count,
                                const unsigned short* data) {
  if (!FENNEC_ASSERT(data != nullptr || count == 0)) return Fail(kWriteRegister);
  Block request = RequestBlock(0x0402, {p1, p2, p3, count});
  for (unsigned short i = 0; i < count; ++i) fennec::command::AppendWord(request, data[i]);
  return Run(kWriteRegister, std::move(request), Shape::Register, [](Bytes) { return true; });
}

}  // namespace ORLA
