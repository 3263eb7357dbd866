#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "Communication/DeviceAPIBase.h"
#include "Communication/DeviceAPITypes.h"

namespace ORLA {

// The device's service commands over the framed service protocol, one method each. A method
// builds its request block, sends it with the protocol's configured identifier and decodes the
// response block: the command code echoed, the device's status, then the data (for the register
// commands: the echo of the 10-byte request, the status at byte 10, the data from byte 12).
//
// On failure a method returns false and leaves, as the last command error and as the thread's
// last error: its own number when the connection is not open or something unexpected happened;
// 0x20080000 OR the status when the device refused, or when the response is not what the
// command expects (status 0 then: 0x20080000). A status of 0xFFFC to a register command becomes
// 0x8302. When the protocol fails (transport or framing) the last command error stays as it was
// and the thread's last error is the protocol's. A response is read only where it has bytes, so
// a table list shorter than its count, for one, is such a refusal. Text results are buffers
// allocated here and released by the caller with delete[], each ending in zero bytes.
class FENNEC_API CServiceAPI : public CDeviceAPIBase {
 public:
  explicit CServiceAPI(IProtocol* protocol) : CDeviceAPIBase(protocol) {}
  CServiceAPI(const CServiceAPI&) = default;
  CServiceAPI& operator=(const CServiceAPI&) = default;

  bool Connect();
  bool Disconnect();
  bool IdentifyDevice(unsigned short& a, unsigned short& b, unsigned short& c, char** text);
  bool EnableWriteAccess(bool enable);
  bool RestartSystem(unsigned short& result);
  bool ResetParameter(unsigned short& result);
  bool StoreParameter(unsigned short& result);
  bool GetDeviceState(t_DeviceStates* states);
  bool EnableMonitorMode(bool enable);
  bool EnableControlMode(bool enable);
  bool GetNetworkID(char** text);
  bool SetFactoryTestMode(const t_Test_Bits* bits);
  bool GetTerminalBusState(t_KBusState* state);
  bool GetInternalVariables(char** text);
  bool GetTableInfo(unsigned short& count, t_Table_Details** tables);
  bool EnableTerminalBusExtension(bool enable);
  bool GetRealTimeClock(unsigned int& time, short& offset);
  bool SetRealTimeClock(unsigned int time, short offset);
  // The device expects the third value before the second.
  bool ControlParamSequence(const unsigned short& a, const unsigned short& b, const unsigned short& c);
  bool RestartTerminalBus(unsigned short& result);
  bool GetCommandState(unsigned short command, unsigned short& state);
  bool GetTerminalBusMonitorSize(unsigned short& size);
  bool SetTerminalBusMonitorFirst(unsigned short& result);
  bool GetTerminalBusMonitorEntry(t_KBMEntry* entry);
  bool ClearTerminalBusMonitor(unsigned short& result);
  // The file-system commands also succeed with the statuses 1 and 0x821D (still running).
  bool ExtractFiles(unsigned short& result, eFileGroups groups);
  bool FormatFileSystem(unsigned short& result, const unsigned short& value);
  bool RefreshFilesystem(unsigned short& result, eFileGroups groups);
  bool GetExtractFilesState(unsigned short& a, unsigned short& b);
  bool ReadRegister(unsigned short p1, unsigned short p2, unsigned short p3, unsigned short count,
                    unsigned short* data);
  bool WriteRegister(unsigned short p1, unsigned short p2, unsigned short p3, unsigned short count,
                     const unsigned short* data);

  std::uint32_t GetLastCommandError() const { return m_dwLastCommandError; }

 private:
  enum class Shape { Plain, FileSystem, Register };
  // Reads the outputs from the response; false when it does not hold them.
  using Decoder = std::function<bool(std::span<const std::uint8_t> response)>;

  bool Run(std::uint32_t number, std::vector<std::uint8_t> request, Shape shape, const Decoder& decode);
  bool Fail(std::uint32_t code);

  std::uint32_t m_dwLastCommandError = 0;
};

}  // namespace ORLA
