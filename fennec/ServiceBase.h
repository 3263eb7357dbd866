#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Common/Result.h"
#include "Platform/Export.h"
#include "ServiceTypes.h"

// The service interface towards a fieldbus coupler or controller. The slot order is part of the
// binary interface. Every operation returns false on failure and leaves the code in the object
// and in the thread's last-error value; a success does not clear an earlier code.
class FENNEC_API CServiceBase {
 public:
  static constexpr std::uint8_t SERVICE_GRP_FBC = 1;
  static constexpr std::uint8_t SERVICE_GRP_DIAG = 2;
  static constexpr std::uint8_t SERVICE_GRP_FILE = 3;
  static constexpr unsigned MAXSTATES_FBC = 9;
  static constexpr unsigned MAXSTATES_KBUS = 9;

  CServiceBase() = default;
  virtual ~CServiceBase() = default;

  virtual bool EnableParamWriting(bool bEnable) = 0;
  virtual bool RestartSystem() = 0;
  virtual bool GetParameterChecksum(std::uint16_t& wChecksum) = 0;
  virtual bool SetFactoryDefaults() = 0;
  virtual bool SaveParameter() = 0;
  virtual bool GetFBCStates(std::vector<std::uint16_t>& states) = 0;
  virtual bool GetAddressSwitchSetting(std::uint16_t& wSetting) = 0;
  virtual bool IdentifyDevice(std::string& orderNumber, std::string& description, std::string& hardwareVersion,
                              std::string& softwareVersion) = 0;
  virtual bool GetFieldbusBaudrate(double& dBaudrate) = 0;
  virtual bool EnableBKMonitorMode(bool bEnable) = 0;
  virtual bool EnableBKControlMode(bool bEnable) = 0;
  virtual bool GetNetworkID(std::string& kind, std::string& value) = 0;
  virtual bool GetSerialNumber(std::string& serialNumber) = 0;
  virtual bool SetFactoryTestMode(const std::uint16_t& wMode) = 0;
  virtual bool GetTerminalBusState(std::vector<std::uint16_t>& states) = 0;
  virtual bool GetProductionMarking(std::string& first, std::string& production) = 0;
  virtual bool GetInternalVariable(std::uint16_t wIndex, std::string& name, std::string& value) = 0;
  virtual bool GetFWLVersion(std::string& version) = 0;
  virtual bool GetTableInfo(std::vector<tFBCTable>& tables) = 0;
  virtual bool GetCPUInfo(std::string& burnDate, std::string& psn) = 0;
  virtual bool EnableTerminalBusExtension(bool bEnable) = 0;
  // The time as UTC seconds since 1970-01-01; the second value is the device's time-zone word.
  virtual bool GetRealTimeClock(std::uint32_t& dwTime, std::uint16_t& wSecond) = 0;
  virtual bool SetRealTimeClock(std::uint32_t dwTime, std::uint16_t wSecond) = 0;
  virtual bool ControlParamSequence(std::uint16_t a, std::uint16_t b, std::uint16_t c) = 0;
  virtual bool TerminalBusReset(std::uint16_t& wError, std::uint16_t& wResult1, std::uint16_t& wResult2) = 0;
  virtual bool ClearTerminalBusMonitor() = 0;
  virtual bool ResetTerminalBusMonitorPtr() = 0;
  // pPCTime, when given, receives the PC's calendar time taken right after the answer arrived.
  virtual bool GetTerminalBusMonitorEntry(tKBMonEntry& entry, std::int64_t* pPCTime = nullptr) = 0;
  virtual bool GetTerminalBusMonitorSize(std::uint16_t& wCount) = 0;
  virtual bool GetServiceState(std::uint8_t byGroup, std::uint8_t byService, tServiceState& state) = 0;
  virtual bool ExtractFiles(std::uint16_t wValue) = 0;
  virtual bool FormatFlashDisk(std::uint16_t wValue) = 0;
  virtual bool WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                             const std::uint16_t* pwRegData) = 0;
  virtual bool ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                            std::uint16_t* pwRegData) = 0;
  virtual bool GetTerminalBusMonitorEntryEx(tKBMonEntryEx& entry);
  // Appends the entries of the monitor in the order the device delivers them, with their
  // time-valid flags settled.
  virtual bool GetTerminalBusMonitorEntries(std::vector<tKBMonEntryEx>& entries);
  virtual std::uint32_t GetLastErrorCode();
  virtual void ResetLastErrorCode();

 protected:
  // Stores the code in the object and in the thread's last-error value; returns false.
  bool Fail(std::uint32_t code);
  // The exported shape of an internal step's result: its code, if it has one, stored as by Fail.
  bool Report(fennec::Result result);

  std::uint32_t m_dwLastErrorCode = 0;
};
