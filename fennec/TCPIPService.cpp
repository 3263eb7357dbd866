#include "TCPIPService.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "Common/ErrorCodes.h"
#include "Common/GenStrToNumber.h"
#include "PairText.h"
#include "Platform/LastError.h"
#include "Platform/Time.h"

namespace {

// The legacy services over TCP/IP have their own protocol identifier.
constexpr const char* kProtocolDocument =
    "<?xml version='1.0'?>                                    <ServiceProtocol Protocol-ID='0x1288' />";

// A text that is not what the operation needs, as a failed own check of a response.
constexpr std::uint32_t kMalformed = fennec::kGroupCoupler;

// The terminal-bus state record in the order the serial service delivers it.
constexpr std::array<std::size_t, 9> kTerminalBusOrder{0, 1, 2, 3, 4, 6, 5, 8, 7};

// A text buffer of the device API, released on every way out.
struct ApiText {
  char* text = nullptr;
  ~ApiText() { delete[] text; }
  std::string_view View() const { return text != nullptr ? std::string_view(text) : std::string_view(); }
};

}  // namespace

CTCPIPService::CTCPIPService(ORLA::IConnection* pConnection)
    : m_pProtocol(std::make_unique<ORLA::CServiceProtocol>(pConnection)) {
  m_dwLastErrorCode = 0;
  fennec::platform::SetThreadLastError(0);
  m_pProtocol->SetSettingsXML(kProtocolDocument);
  m_pServiceAPI = std::make_unique<ORLA::CServiceAPI>(m_pProtocol.get());
}

CTCPIPService::~CTCPIPService() = default;

bool CTCPIPService::Failed() { return Fail(fennec::platform::GetThreadLastError()); }

bool CTCPIPService::WaitedAfter(bool succeeded, unsigned short wait) {
  if (!succeeded) return Failed();
  fennec::platform::Sleep(std::chrono::seconds(std::min<unsigned>(wait, kMaxWaitSeconds)));
  return true;
}

bool CTCPIPService::AfterWaiting(bool (ORLA::CServiceAPI::*command)(unsigned short& wait)) {
  unsigned short wait = 0;
  const bool succeeded = (m_pServiceAPI.get()->*command)(wait);
  return WaitedAfter(succeeded, wait);
}

std::optional<std::vector<std::string>> CTCPIPService::Identification() {
  unsigned short a = 0;
  unsigned short b = 0;
  unsigned short c = 0;
  ApiText text;
  if (!m_pServiceAPI->IdentifyDevice(a, b, c, &text.text)) {
    Failed();
    return std::nullopt;
  }
  std::vector<std::string> tokens = fennec::pairs::Tokens(text.View(), "=;");
  if (tokens.size() < 2) {
    Fail(kMalformed);
    return std::nullopt;
  }
  return tokens;
}

bool CTCPIPService::IdentificationValue(const char* key, std::string& value) {
  const auto tokens = Identification();
  if (!tokens) return false;
  value = fennec::pairs::ValueOf(*tokens, key);
  return true;
}

bool CTCPIPService::EnableParamWriting(bool bEnable) {
  return m_pServiceAPI->EnableWriteAccess(bEnable) || Failed();
}

bool CTCPIPService::RestartSystem() { return AfterWaiting(&ORLA::CServiceAPI::RestartSystem); }

bool CTCPIPService::GetParameterChecksum(std::uint16_t&) { return Fail(fennec::kCouplerServiceNotSupported); }

bool CTCPIPService::SetFactoryDefaults() { return AfterWaiting(&ORLA::CServiceAPI::ResetParameter); }

bool CTCPIPService::SaveParameter() { return AfterWaiting(&ORLA::CServiceAPI::StoreParameter); }

bool CTCPIPService::GetFBCStates(std::vector<std::uint16_t>& states) {
  ORLA::t_DeviceStates record{};
  if (!m_pServiceAPI->GetDeviceState(&record)) return Failed();
  states.insert(states.end(), std::begin(record.wStates), std::end(record.wStates));
  return true;
}

bool CTCPIPService::GetAddressSwitchSetting(std::uint16_t&) { return Fail(fennec::kCouplerServiceNotSupported); }

bool CTCPIPService::IdentifyDevice(std::string& orderNumber, std::string& description, std::string& hardwareVersion,
                                   std::string& softwareVersion) {
  orderNumber.clear();
  description.clear();
  hardwareVersion.clear();
  softwareVersion.clear();
  const auto tokens = Identification();
  if (!tokens) return false;
  orderNumber = fennec::pairs::ValueOf(*tokens, "ORDER");
  description = fennec::pairs::ValueOf(*tokens, "DESCR");
  hardwareVersion = fennec::pairs::ValueOf(*tokens, "HW-VER");
  softwareVersion = fennec::pairs::ValueOf(*tokens, "SW-VER");
  return true;
}

// A value that is not a number is a failed own check, never an exception that leaves the library.
bool CTCPIPService::GetFieldbusBaudrate(double& dBaudrate) {
  std::string text;
  if (!IdentificationValue("BAUD", text)) return false;
  try {
    dBaudrate = static_cast<double>(GenStrToNumber(text));
    return true;
  } catch (const std::string&) {
    return Fail(kMalformed);
  }
}

bool CTCPIPService::EnableBKMonitorMode(bool bEnable) { return m_pServiceAPI->EnableMonitorMode(bEnable) || Failed(); }

bool CTCPIPService::EnableBKControlMode(bool bEnable) { return m_pServiceAPI->EnableControlMode(bEnable) || Failed(); }

bool CTCPIPService::GetNetworkID(std::string& kind, std::string& value) {
  ApiText text;
  if (!m_pServiceAPI->GetNetworkID(&text.text)) return Failed();
  const std::vector<std::string> tokens = fennec::pairs::Tokens(text.View(), "=");
  if (tokens.size() != 2) return Fail(kMalformed);
  kind = tokens[0];
  value = tokens[1];
  return true;
}

bool CTCPIPService::GetSerialNumber(std::string& serialNumber) { return IdentificationValue("SN", serialNumber); }

bool CTCPIPService::SetFactoryTestMode(const std::uint16_t& wMode) {
  const ORLA::t_Test_Bits bits{wMode};
  return m_pServiceAPI->SetFactoryTestMode(&bits) || Failed();
}

bool CTCPIPService::GetTerminalBusState(std::vector<std::uint16_t>& states) {
  ORLA::t_KBusState record{};
  if (!m_pServiceAPI->GetTerminalBusState(&record)) return Failed();
  for (const std::size_t index : kTerminalBusOrder) states.push_back(record.wStates[index]);
  return true;
}

bool CTCPIPService::GetProductionMarking(std::string& first, std::string& production) {
  if (!IdentificationValue("QS-STRING", production)) return false;
  first.clear();
  return true;
}

// The indexes are token positions: the name at the index, its value after it.
bool CTCPIPService::GetInternalVariable(std::uint16_t wIndex, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  ApiText text;
  if (!m_pServiceAPI->GetInternalVariables(&text.text)) return Failed();
  const std::vector<std::string> tokens = fennec::pairs::Tokens(text.View(), "=;");
  if (tokens.size() < 2) return Fail(kMalformed);
  if (std::size_t{wIndex} + 1 >= tokens.size()) return Fail(fennec::kCouplerEndOfVariableList);
  name = tokens[wIndex];
  value = tokens[wIndex + 1];
  return true;
}

bool CTCPIPService::GetFWLVersion(std::string& version) { return IdentificationValue("FWL-VER", version); }

// As the serial service, the list holds this device's tables only, the last record first.
bool CTCPIPService::GetTableInfo(std::vector<tFBCTable>& tables) {
  unsigned short count = 0;
  ORLA::t_Table_Details* raw = nullptr;
  const bool listed = m_pServiceAPI->GetTableInfo(count, &raw);
  const std::unique_ptr<ORLA::t_Table_Details[]> details(raw);
  if (!listed) return Failed();
  tables.clear();
  for (std::size_t i = count; i > 0; --i) {
    const ORLA::t_Table_Details& record = details[i - 1];
    tables.push_back(tFBCTable::Make(record.wTableNo & 0x7F, record.wRegisterCount & 0x1FF));
  }
  return true;
}

bool CTCPIPService::GetCPUInfo(std::string& burnDate, std::string& psn) {
  const auto tokens = Identification();
  if (!tokens) return false;
  burnDate = fennec::pairs::ValueOf(*tokens, "FW-BURN-DATE");
  psn = fennec::pairs::ValueOf(*tokens, "PSN");
  return true;
}

bool CTCPIPService::EnableTerminalBusExtension(bool bEnable) {
  return m_pServiceAPI->EnableTerminalBusExtension(bEnable) || Failed();
}

bool CTCPIPService::GetRealTimeClock(std::uint32_t& dwTime, std::uint16_t& wSecond) {
  unsigned int time = 0;
  short second = 0;
  if (!m_pServiceAPI->GetRealTimeClock(time, second)) return Failed();
  dwTime = time;
  wSecond = static_cast<std::uint16_t>(second);
  return true;
}

bool CTCPIPService::SetRealTimeClock(std::uint32_t dwTime, std::uint16_t wSecond) {
  return m_pServiceAPI->SetRealTimeClock(dwTime, static_cast<short>(wSecond)) || Failed();
}

bool CTCPIPService::ControlParamSequence(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
  return m_pServiceAPI->ControlParamSequence(a, b, c) || Failed();
}

// The terminal bus is restarted, not the device.
bool CTCPIPService::TerminalBusReset(std::uint16_t& wError, std::uint16_t& wResult1, std::uint16_t& wResult2) {
  wError = 0;
  wResult1 = 0;
  wResult2 = 0;
  return AfterWaiting(&ORLA::CServiceAPI::RestartTerminalBus);
}

bool CTCPIPService::ClearTerminalBusMonitor() { return AfterWaiting(&ORLA::CServiceAPI::ClearTerminalBusMonitor); }

bool CTCPIPService::ResetTerminalBusMonitorPtr() {
  return AfterWaiting(&ORLA::CServiceAPI::SetTerminalBusMonitorFirst);
}

bool CTCPIPService::GetTerminalBusMonitorEntry(tKBMonEntry& entry, std::int64_t* pPCTime) {
  ORLA::t_KBMEntry record{};
  if (!m_pServiceAPI->GetTerminalBusMonitorEntry(&record)) return Failed();
  // The PC time is the reference the entry's relative ticks are worked back from.
  const std::int64_t now = fennec::platform::CalendarTimeNow();
  entry = {record.dwEventTick, record.wCode, record.byArgument, record.byFlags, record.dwReferenceTick};
  if (pPCTime != nullptr) *pPCTime = now;
  return true;
}

bool CTCPIPService::GetTerminalBusMonitorSize(std::uint16_t& wCount) {
  unsigned short size = 0;
  if (!m_pServiceAPI->GetTerminalBusMonitorSize(size)) return Failed();
  wCount = size;
  return true;
}

bool CTCPIPService::GetServiceState(std::uint8_t byGroup, std::uint8_t byService, tServiceState& state) {
  const auto command = static_cast<std::uint16_t>(byGroup * 256 + byService);
  unsigned short commandState = 0;
  if (!m_pServiceAPI->GetCommandState(command, commandState)) return Failed();
  state = {command, commandState, 0};
  return true;
}

bool CTCPIPService::ExtractFiles(std::uint16_t wValue) {
  unsigned short wait = 0;
  const bool succeeded = m_pServiceAPI->ExtractFiles(wait, ORLA::eFileGroups{wValue});
  return WaitedAfter(succeeded, wait);
}

bool CTCPIPService::FormatFlashDisk(std::uint16_t wValue) {
  unsigned short wait = 0;
  const bool succeeded = m_pServiceAPI->FormatFileSystem(wait, wValue);
  return WaitedAfter(succeeded, wait);
}

bool CTCPIPService::WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                                  const std::uint16_t* pwRegData) {
  return m_pServiceAPI->WriteRegister(static_cast<unsigned short>(nDeviceNo), static_cast<unsigned short>(nTableNo),
                                      static_cast<unsigned short>(nFirstReg), static_cast<unsigned short>(nCount),
                                      pwRegData) ||
         Failed();
}

bool CTCPIPService::ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                                 std::uint16_t* pwRegData) {
  return m_pServiceAPI->ReadRegister(static_cast<unsigned short>(nDeviceNo), static_cast<unsigned short>(nTableNo),
                                     static_cast<unsigned short>(nFirstReg), static_cast<unsigned short>(nCount),
                                     pwRegData) ||
         Failed();
}
