#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Export.h"
#include "Communication/IConnection.h"
#include "Communication/ServiceAPI.h"
#include "Communication/ServiceProtocol.h"
#include "ServiceBase.h"

// The service interface for a device reached over the network: each operation is one command of
// the device API on the framed protocol (identifier 0x1288), its answer converted into the
// results of the serial service. The connection is opened and closed by its owner.
//
// Every failure is stored as the object's last error and as the thread's last error: the
// device's refusal (the API's last command error), or for a failure of the transport or the
// protocol that failure's own code, never an earlier refusal. Texts that do not split into the
// tokens an operation needs fail with 0x20080000, a "BAUD" that is not a number too; an internal
// variable past the end of the list fails with 0x20088213. The parameter checksum and the
// address switch are not offered (0x20088212). Waits the device asks for are slept, at most
// kMaxWaitSeconds each.
class FENNEC_API CTCPIPService : public CServiceBase {
 public:
  static constexpr unsigned kMaxWaitSeconds = 120;

  explicit CTCPIPService(ORLA::IConnection* pConnection);
  ~CTCPIPService() override;
  CTCPIPService(const CTCPIPService&) = delete;
  CTCPIPService& operator=(const CTCPIPService&) = delete;

  bool EnableParamWriting(bool bEnable) override;
  bool RestartSystem() override;
  bool GetParameterChecksum(std::uint16_t& wChecksum) override;
  bool SetFactoryDefaults() override;
  bool SaveParameter() override;
  bool GetFBCStates(std::vector<std::uint16_t>& states) override;
  bool GetAddressSwitchSetting(std::uint16_t& wSetting) override;
  bool IdentifyDevice(std::string& orderNumber, std::string& description, std::string& hardwareVersion,
                      std::string& softwareVersion) override;
  bool GetFieldbusBaudrate(double& dBaudrate) override;
  bool EnableBKMonitorMode(bool bEnable) override;
  bool EnableBKControlMode(bool bEnable) override;
  bool GetNetworkID(std::string& kind, std::string& value) override;
  bool GetSerialNumber(std::string& serialNumber) override;
  bool SetFactoryTestMode(const std::uint16_t& wMode) override;
  bool GetTerminalBusState(std::vector<std::uint16_t>& states) override;
  bool GetProductionMarking(std::string& first, std::string& production) override;
  bool GetInternalVariable(std::uint16_t wIndex, std::string& name, std::string& value) override;
  bool GetFWLVersion(std::string& version) override;
  bool GetTableInfo(std::vector<tFBCTable>& tables) override;
  bool GetCPUInfo(std::string& burnDate, std::string& psn) override;
  bool EnableTerminalBusExtension(bool bEnable) override;
  bool GetRealTimeClock(std::uint32_t& dwTime, std::uint16_t& wSecond) override;
  bool SetRealTimeClock(std::uint32_t dwTime, std::uint16_t wSecond) override;
  bool ControlParamSequence(std::uint16_t a, std::uint16_t b, std::uint16_t c) override;
  bool TerminalBusReset(std::uint16_t& wError, std::uint16_t& wResult1, std::uint16_t& wResult2) override;
  bool ClearTerminalBusMonitor() override;
  bool ResetTerminalBusMonitorPtr() override;
  bool GetTerminalBusMonitorEntry(tKBMonEntry& entry, std::int64_t* pPCTime = nullptr) override;
  bool GetTerminalBusMonitorSize(std::uint16_t& wCount) override;
  bool GetServiceState(std::uint8_t byGroup, std::uint8_t byService, tServiceState& state) override;
  bool ExtractFiles(std::uint16_t wValue) override;
  bool FormatFlashDisk(std::uint16_t wValue) override;
  bool WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                     const std::uint16_t* pwRegData) override;
  bool ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                    std::uint16_t* pwRegData) override;

 private:
  // Stores the failure the device API left as the thread's last error.
  bool Failed();
  // The identification as tokens; nothing after a failure, which is stored.
  std::optional<std::vector<std::string>> Identification();
  // The value of one key of the identification.
  bool IdentificationValue(const char* key, std::string& value);
  // Sleeps the wait the device asked for after a command that succeeded.
  bool WaitedAfter(bool succeeded, unsigned short wait);
  // A command whose only output is that wait.
  bool AfterWaiting(bool (ORLA::CServiceAPI::*command)(unsigned short& wait));

  std::unique_ptr<ORLA::CServiceProtocol> m_pProtocol;
  std::unique_ptr<ORLA::CServiceAPI> m_pServiceAPI;
};
