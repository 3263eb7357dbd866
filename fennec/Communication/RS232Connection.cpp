#include "Communication/RS232Connection.h"

#include <algorithm>
#include <chrono>
#include <span>

#include "Common/ErrorCodes.h"
#include "Communication/RS232SettingsDocument.h"
#include "Communication/RS232Words.h"
#include "Communication/ThreadLastError.h"
#include "Platform/Assert.h"
#include "Platform/DebugOutput.h"
#include "Platform/PortAdvice.h"
#include "Platform/SerialDeviceName.h"
#include "Platform/SerialPort.h"
#include "Platform/SystemError.h"

namespace ORLA {

using fennec::platform::ErrnoContext;
using fennec::platform::PortStatus;
using fennec::platform::SerialPort;
using fennec::platform::SystemCallFailure;
using fennec::platform::TransferResult;
using Outcome = fennec::platform::TransferResult::Outcome;

namespace {

// Operation numbers carried by the exceptions.
constexpr int kOpOpenCommResource = 1;
constexpr int kOpClose = 2;
constexpr int kOpWriteAsynchron = 3;
constexpr int kOpReadAsynchron = 4;
constexpr int kOpWriteSynchron = 5;
constexpr int kOpReadSynchron = 6;
constexpr int kOpInitDCB = 7;
constexpr int kOpClearBuffer = 10;
constexpr int kOpClearError = 12;
constexpr int kOpOther = -1;

// The line counts as quiet after a few character times without a byte. USB adapters hand over
// what they received in bursts up to their latency timer apart (16 ms by default), so a
// shorter silence proves nothing there.
constexpr int kQuietCharacters = 4;
constexpr std::chrono::milliseconds kQuietAtLeast{20};

constexpr std::string_view kReportHead = "\n*************************** ERROR ***************************\n";
constexpr std::string_view kReportClass = "  Class:\t\tCRS232Connection\n";
constexpr std::string_view kReportFoot = "*************************************************************\n\n";

void ReportSystemCall(std::string_view function, const std::string& path, const SystemCallFailure& failure,
                      const std::string& advice) {
  const std::string functionLine = "  Function:\t" + std::string(function) + "( )\n";
  const std::string errorLine =
      "  Error:\t\t" + failure.call + " on " + path + " failed: " + fennec::platform::ErrnoText(failure.error) + "\n";
  const std::string adviceLine = advice.empty() ? std::string() : "  Advice:\t" + advice + "\n";
  fennec::platform::DebugOutput({kReportHead, kReportClass, functionLine, errorLine, adviceLine, kReportFoot});
}

template <class Operation>
void StoringThreadLastError(Operation operation) {
  fennec::StoringThreadLastError<CRS232ConnectionException>(operation);
}

const char* CallOf(const TransferResult& result, const char* transferCall) {
  return result.outcome == Outcome::WaitFailed ? "poll" : transferCall;
}

}  // namespace

CRS232Connection::CRS232Connection() : m_pPort(std::make_shared<SerialPort>()) {
  SetStorageProperties("", Registry);
  SetDefaultSettings(std::string(fennec::rs232::kDefaultSettingsDocument));
}

CRS232Connection::CRS232Connection(const CRS232Connection& other) = default;
CRS232Connection& CRS232Connection::operator=(const CRS232Connection& other) = default;
CRS232Connection::~CRS232Connection() = default;

std::string CRS232Connection::GetType() { return std::string(fennec::rs232::kElementName); }

bool CRS232Connection::IsOpen() { return m_pPort->IsOpen(); }

std::string CRS232Connection::GetSystemErrorAdvice() const {
  return fennec::platform::PortFailureAdvice(DevicePath(), m_nLastSystemError);
}

std::string CRS232Connection::DevicePath() const { return fennec::platform::SerialDevicePath(m_tSettings.m_strDevice); }

void CRS232Connection::Fail(const char* text, int number, const char* systemCall, std::uint32_t code) {
  SetLastErrorCode(code);
  throw CRS232ConnectionException(text, number, systemCall, code);
}

void CRS232Connection::FailOnSystemCall(const char* function, const SystemCallFailure& failure, const char* text,
                                        int number, const char* systemCall, std::uint32_t group) {
  m_nLastSystemError = failure.error;
  const bool opening = number == kOpOpenCommResource;
  ReportSystemCall(function, DevicePath(), failure, opening ? GetSystemErrorAdvice() : std::string());
  const ErrnoContext context = group == fennec::kGroupPort ? ErrnoContext::PortSetup : ErrnoContext::Transfer;
  Fail(text, number, systemCall, group | fennec::platform::WindowsErrorOf(failure.error, context));
}

void CRS232Connection::Open() {
  ResetLastErrorCode();
  m_nLastSystemError = 0;
  if (IsOpen()) return;
  // A new port, so that copies still sharing the old one stay closed.
  m_pPort = std::make_shared<SerialPort>();
  StoringThreadLastError([&] {
    try {
      OpenCommResource();
      InitDCB();
      SetTimeout();
      Purge();
    } catch (const CRS232ConnectionException&) {
      (void)m_pPort->Close();
      throw;
    }
  });
}

void CRS232Connection::OpenCommResource() {
  if (PortStatus failed = m_pPort->Open(DevicePath()))
    FailOnSystemCall("OpenCommResource", *failed, "OpenCommResource() failed!", kOpOpenCommResource,
                     "::CreateFile() failed", fennec::kGroupPort);
}

void CRS232Connection::InitDCB() {
  using namespace fennec::rs232;
  const fennec::platform::LineSettings settings{
      .baudRate = m_tSettings.m_dwBaudRate,
      .dataBits = m_tSettings.m_wDataBits,
      .parity = ParityToDCBValue(m_tSettings.m_strParity),
      .stopBits = StopBitsToDCBValue(m_tSettings.m_strStopBits),
      .ctsFlow = m_tSettings.m_bCtsFlow,
      .dsrFlow = m_tSettings.m_bDsrFlow,
      .dtr = DTRControlToDCBValue(m_tSettings.m_strDtrControl),
      .rts = RTSControlToDCBValue(m_tSettings.m_strRtsControl),
  };
  if (PortStatus failed = m_pPort->Configure(settings))
    FailOnSystemCall("InitDCB", *failed, "InitDCB() failed!", kOpInitDCB, "::SetCommState() failed!",
                     fennec::kGroupPort);
}

// The buffer sizes have no counterpart here (the kernel's tty buffers are fixed), so after the
// line settings only the time-out is left to hand to the port.
void CRS232Connection::SetTimeout() { m_pPort->SetTimeout(std::chrono::milliseconds(m_tSettings.m_dwTimeout)); }

// Called after a failed exchange, before the repetition or the next request: the rest of a
// damaged or foreign telegram, an echo or an answer that came too late may still be arriving,
// and a purge alone would leave it for the next read to take as its answer.
void CRS232Connection::ClearBuffer() {
  const std::chrono::microseconds quiet = std::max<std::chrono::microseconds>(
      kQuietCharacters * m_pPort->CharacterTime(), kQuietAtLeast);
  const std::chrono::milliseconds limit = std::max(m_pPort->Timeout(), std::chrono::ceil<std::chrono::milliseconds>(quiet));
  FailOnPurge(m_pPort->Drain(quiet, limit));
}

void CRS232Connection::Purge() { FailOnPurge(m_pPort->Purge()); }

void CRS232Connection::FailOnPurge(const PortStatus& status) {
  if (status)
    FailOnSystemCall("ClearBuffer", *status, "ClearBuffer() failed!", kOpClearBuffer, "::PurgeComm() failed!",
                     fennec::kGroupPort);
}

void CRS232Connection::Close() {
  StoringThreadLastError([&] {
    if (PortStatus failed = m_pPort->Close())
      FailOnSystemCall("Close", *failed, "Close() failed!", kOpClose, "CloseHandle() failed!", fennec::kGroupPort);
  });
}

void CRS232Connection::Read(unsigned char* buffer, unsigned int count, unsigned int* read) {
  const bool asynchron = m_tSettings.m_bAsynchron;
  const int number = asynchron ? kOpReadAsynchron : kOpReadSynchron;
  StoringThreadLastError([&] {
    if (!IsOpen()) Fail("Read() failed!", number, "Connection is not open!", fennec::kPortNotOpen);
    if (!FENNEC_ASSERT(buffer != nullptr || count == 0))
      Fail("Read() failed!", number, "::ReadFile() failed!", fennec::kInvalidBuffer);
    ClearError();
    if (asynchron)
      ReadAsynchron(buffer, count, read);
    else
      ReadSynchron(buffer, count, read);
  });
}

void CRS232Connection::ClearError() {
  const fennec::platform::LineErrorResult result = m_pPort->TakeLineErrors();
  if (result.failure)
    FailOnSystemCall("ClearError", *result.failure, "ClearError() failed!", kOpClearError,
                     "::ClearCommError() failed!", fennec::kGroupCommunication);
  if (result.flags != 0)
    Fail("ClearError() failed!", kOpClearError, "::ClearCommError() failed!", fennec::kGroupCommunication | result.flags);
}

void CRS232Connection::ReadSynchron(unsigned char* buffer, unsigned int count, unsigned int* read) {
  // One byte per call, each waiting at most the time-out. Zero bytes asked, zero read: there
  // is no room to store a byte in.
  const fennec::platform::ReadLimits limits{m_pPort->Timeout(), m_pPort->Timeout()};
  for (unsigned int i = 0; i < count; ++i) {
    const TransferResult result = m_pPort->Read(std::span(buffer + i, 1), limits);
    if (result.outcome == Outcome::Complete) continue;
    if (result.error != 0)
      FailOnSystemCall("ReadSynchron", {CallOf(result, "read"), result.error}, "ReadSynchron() failed!",
                       kOpReadSynchron, "::ReadFile() failed!", fennec::kGroupCommunication);
    // No byte within the time-out, or the other end hung up: no system error to add.
    Fail("ReadSynchron() failed!", kOpReadSynchron, "::ReadFile() failed!", fennec::kGroupCommunication);
  }
  if (read != nullptr) *read = count;
}

void CRS232Connection::ReadAsynchron(unsigned char* buffer, unsigned int count, unsigned int* read) {
  const std::chrono::milliseconds timeout = m_pPort->Timeout();
  const fennec::platform::ReadLimits limits{timeout, 2 * (timeout + count * m_pPort->CharacterTime())};
  const TransferResult result = m_pPort->Read(std::span(buffer, count), limits);
  switch (result.outcome) {
    case Outcome::Complete:
      break;
    case Outcome::TimedOut:
      Fail("ReadAsynchron() failed!", kOpReadAsynchron, "WaitForSingleObject() timed out!", fennec::kNoAnswer);
    case Outcome::WaitFailed:
      FailOnSystemCall("ReadAsynchron", {"poll", result.error}, "ReadAsynchron() failed!", kOpReadAsynchron,
                       "WaitForSingleObject() failed!", fennec::kGroupCommunication);
    case Outcome::CallFailed:
      FailOnSystemCall("ReadAsynchron", {"read", result.error}, "ReadAsynchron() failed!", kOpReadAsynchron,
                       "::ReadFile() failed!", fennec::kGroupCommunication);
    case Outcome::LineClosed:
      Fail("ReadAsynchron() failed!", kOpReadAsynchron, "::ReadFile() failed!", fennec::kGroupCommunication);
  }
  if (read != nullptr) *read = count;
}

void CRS232Connection::Write(unsigned char* buffer, unsigned int count, unsigned int* written) {
  const bool asynchron = m_tSettings.m_bAsynchron;
  StoringThreadLastError([&] {
    const int number = asynchron ? kOpWriteAsynchron : kOpWriteSynchron;
    if (!IsOpen()) Fail("Write() failed!", number, "Connection is not open!", fennec::kPortNotOpen);
    if (!FENNEC_ASSERT(buffer != nullptr || count == 0))
      Fail("Write() failed!", number, "::WriteFile() failed!", fennec::kInvalidBuffer);
    try {
      if (asynchron)
        WriteAsynchron(buffer, count, written);
      else
        WriteSynchron(buffer, count, written);
    } catch (const CRS232ConnectionException&) {
      throw;
    } catch (...) {
      // A library has no message box here; the debug output carries its text.
      fennec::platform::DebugOutput(
          {kReportHead, kReportClass, "  Function:\tWrite( )\n", "  Error:\t\tWrite failed!\n", kReportFoot});
      Fail("Unknown exception", kOpOther, "Write() failed!", fennec::kUnknownFailure);
    }
  });
}

void CRS232Connection::WriteSynchron(unsigned char* buffer, unsigned int count, unsigned int* written) {
  const TransferResult result = m_pPort->Write(std::span(buffer, count), m_pPort->Timeout());
  if (result.error != 0)
    FailOnSystemCall("WriteSynchron", {CallOf(result, "write"), result.error}, "WriteSynchron() failed!",
                     kOpWriteSynchron, "::WriteFile() failed!", fennec::kGroupCommunication);
  if (written != nullptr) *written = static_cast<unsigned int>(result.count);
}

void CRS232Connection::WriteAsynchron(unsigned char* buffer, unsigned int count, unsigned int* written) {
  // Every asynchronous write starts a new exchange: what is left of an earlier one goes.
  Purge();
  const TransferResult result = m_pPort->Write(std::span(buffer, count), m_pPort->Timeout());
  if (result.error != 0)
    FailOnSystemCall("WriteAsynchron", {CallOf(result, "write"), result.error}, "WriteAsynchron() failed!",
                     kOpWriteAsynchron,
                     result.outcome == Outcome::WaitFailed ? "WaitForSingleObject() failed!" : "::WriteFile() failed!",
                     fennec::kGroupCommunication);
  if (written != nullptr) *written = static_cast<unsigned int>(result.count);
}

}  // namespace ORLA
