#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>

#include "Common/Result.h"
#include "Communication/IConnection.h"
#include "Platform/Export.h"
#include "RegCommBase.h"
#include "ServiceBase.h"

// The services of a coupler over the legacy register telegrams: each service is a request block
// written to the service table and a response block read back from it. The connection is opened
// and closed by its owner.
class FENNEC_API CSIOService : public CServiceBase {
 public:
  static constexpr unsigned SERVICE_TABLE = 99;

  // One service call.
  struct tServiceInfo {
    std::uint8_t SrvGrp;
    std::uint8_t SrvNr;
    std::uint16_t WrArg;  // argument words sent
    std::uint16_t RdArg;  // result words expected; after the call, the result words delivered
    std::uint32_t nPollDelay;  // ms before each read of the response; 0: one read at once
  };

  explicit CSIOService(ORLA::IConnection* pComm);
  ~CSIOService() override;
  CSIOService(const CSIOService&) = delete;
  CSIOService& operator=(const CSIOService&) = delete;

  // Runs one service. pData holds the WrArg argument words on entry and receives the result
  // words (both little-endian); it may be null when there are neither.
  bool ExecuteService(tServiceInfo& info, unsigned char* pData);

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
  struct tAnswer;

  // ExecuteService's steps, with their result as a value.
  fennec::Result RunService(tServiceInfo& info, unsigned char* pData);
  // Runs a service with the given argument words; answer, when given, receives the results.
  fennec::Result CallService(std::uint8_t group, std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                             std::uint16_t resultWords, tAnswer* answer, std::uint32_t pollDelay = 0);
  // A service whose results are a fixed number of words, or length-prefixed strings.
  fennec::Result CallForWords(std::uint8_t group, std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                              std::span<std::uint16_t> results);
  fennec::Result CallForStrings(std::uint8_t number, std::initializer_list<std::uint16_t> arguments,
                                std::initializer_list<std::string*> results);
  static fennec::Result ValidateResponse(std::uint16_t status);
  fennec::Result GetTableInfoForOldFBC(std::vector<tFBCTable>& tables);
  fennec::Result CountRegisters(unsigned nTableNo, unsigned& nCount);

  std::unique_ptr<CRegCommBase> m_pRegComm;
};
