#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Platform/Export.h"
#include "ServiceBase.h"

class CExtProtokoll;

// The services of a coupler over the extended protocol: each service one service message,
// each register access one register message, with argument and result sizes in bytes. The
// device answers when it is done; nothing is polled. The protocol engine is not owned.
class FENNEC_API CExtService : public CServiceBase {
 public:
  explicit CExtService(CExtProtokoll* pProtokoll);

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
  // Not offered over this protocol: fails with the code of a service the device does not know.
  bool ControlParamSequence(std::uint16_t a, std::uint16_t b, std::uint16_t c) override;
  bool TerminalBusReset(std::uint16_t& wError, std::uint16_t& wResult1, std::uint16_t& wResult2) override;
  bool ClearTerminalBusMonitor() override;
  bool ResetTerminalBusMonitorPtr() override;
  bool GetTerminalBusMonitorEntry(tKBMonEntry& entry, std::int64_t* pPCTime = nullptr) override;
  bool GetTerminalBusMonitorSize(std::uint16_t& wCount) override;
  // The argument word carries the service number in its high byte, the group in its low byte.
  bool GetServiceState(std::uint8_t byGroup, std::uint8_t byService, tServiceState& state) override;
  bool ExtractFiles(std::uint16_t wValue) override;
  bool FormatFlashDisk(std::uint16_t wValue) override;
  bool WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                     const std::uint16_t* pwRegData) override;
  bool ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                    std::uint16_t* pwRegData) override;

 private:
  // Whether an answer shorter than asked for (result 25) still counts as the service's answer.
  enum class ShortAnswer { Fails, Accepted };

  // Runs a service with the given argument words; result receives its result bytes.
  bool CallService(std::uint8_t group, std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                   std::span<std::uint8_t> result, ShortAnswer shortAnswer = ShortAnswer::Fails);
  bool CallForWords(std::uint8_t group, std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                    std::span<std::uint16_t> results);
  // A group-1 service whose result is length bytes and texts.
  bool CallForStrings(std::uint8_t number, std::initializer_list<std::uint16_t> arguments, ShortAnswer shortAnswer,
                      std::initializer_list<std::string*> results);
  // The nine state words of a group-1 service, appended.
  bool CallForStates(std::uint8_t number, std::vector<std::uint16_t>& states);
  bool Report(const std::optional<std::uint32_t>& code, ShortAnswer shortAnswer = ShortAnswer::Fails);

  CExtProtokoll* m_pProtokoll;
};
