#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Communication/ConnectionBase.h"
#include "Communication/RS232ConnectionException.h"

namespace fennec::platform {
class SerialPort;
struct SystemCallFailure;
}  // namespace fennec::platform

namespace ORLA {

// The serial settings in the order the connection keeps them. Parity, stop bits, DTR and RTS
// control are kept as the words given and turned into line settings only when the port opens.
struct tRS232Settings {
  bool m_bAsynchron = false;
  std::string m_strDevice;
  std::uint32_t m_dwBaudRate = 0;
  std::string m_strParity;
  std::uint16_t m_wDataBits = 0;
  std::string m_strStopBits;
  std::uint32_t m_dwTimeout = 0;  // milliseconds
  std::uint32_t m_dwInBufSize = 0;
  std::uint32_t m_dwOutBufSize = 0;
  bool m_bDsrFlow = false;
  bool m_bCtsFlow = false;
  std::string m_strDtrControl;
  std::string m_strRtsControl;
  std::uint16_t m_wRestartTimeoutSeconds = 0;  // only stored and reported; the transport does not use it
};

// The serial transport. Open, Close, Read and Write throw CRS232ConnectionException after
// storing its code as the object's last error and as the thread's last error.
//
// Read blocks until all bytes have arrived. In asynchronous mode every wait is bounded by the
// time-out (no byte in time: 0x20010200), and the whole Read by twice the sum of the time-out
// and the time the requested bytes take on the line, so a line that trickles cannot hold a
// Read for longer. In synchronous mode each byte may wait up to the time-out (no byte in time:
// 0x20010000). Write hands the bytes to the port within the time-out; what is left over is
// not an error, the written count says how far it got. ClearBuffer discards unread input and
// unsent output, then whatever still arrives until the line has been quiet for four character
// times (at least 20 ms), on a line that never falls quiet for at most the time-out.
//
// Copies share the open port: closing either closes it for both. The last copy to go closes
// a port that is still open. Settings apply from the next Open.
class FENNEC_API CRS232Connection : public CConnectionBase {
 public:
  CRS232Connection();
  CRS232Connection(const CRS232Connection& other);
  CRS232Connection& operator=(const CRS232Connection& other);
  ~CRS232Connection() override;

  void Open() override;
  void Close() override;
  bool IsOpen() override;
  void Write(unsigned char* buffer, unsigned int count, unsigned int* written) override;
  void Read(unsigned char* buffer, unsigned int count, unsigned int* read) override;
  void ClearBuffer() override;
  std::string GetType() override;

  std::string GetSettingsXML() override;
  bool SetSettingsXML(std::string xml) override;
  std::string GetSettingsString() override;
  std::string GetSettingsValue(const char* name) override;
  std::string GetDriverInfo() override;
  bool LoadSettingsRegistry(std::string path) override;
  bool SaveSettingsRegistry(std::string path) override;
  bool LoadSettingsXML(std::string path) override;
  bool SaveSettingsXML(std::string path) override;

  // The probe's time-out is 500 ms; the configured one is kept and given back.
  void ApplyProbeTimeouts() override;
  void RestoreTimeouts() override;
  // Why the port's last system call failed (a refused Open above all), in words a technician
  // can act on; empty when no system call has failed since the last Open began.
  std::string GetSystemErrorAdvice() const override;

 private:
  virtual void InitDCB();

  void OpenCommResource();
  void SetTimeout();
  // Discards unread input and unsent output at once; ClearBuffer also waits for the line to
  // fall quiet.
  void Purge();
  void FailOnPurge(const std::optional<fennec::platform::SystemCallFailure>& status);
  void ClearError();
  void ReadSynchron(unsigned char* buffer, unsigned int count, unsigned int* read);
  void ReadAsynchron(unsigned char* buffer, unsigned int count, unsigned int* read);
  void WriteSynchron(unsigned char* buffer, unsigned int count, unsigned int* written);
  void WriteAsynchron(unsigned char* buffer, unsigned int count, unsigned int* written);

  [[noreturn]] void Fail(const char* text, int number, const char* systemCall, std::uint32_t code);
  // Keeps the errno for the advice, reports it, and fails with the group and its Windows meaning.
  [[noreturn]] void FailOnSystemCall(const char* function, const fennec::platform::SystemCallFailure& failure,
                                     const char* text, int number, const char* systemCall, std::uint32_t group);
  std::string DevicePath() const;

  std::shared_ptr<fennec::platform::SerialPort> m_pPort;
  tRS232Settings m_tSettings;
  int m_nLastSystemError = 0;  // errno of the port's last failed system call
  std::optional<std::string> m_keptTimeout;  // the configured time-out while a probe runs
};

}  // namespace ORLA
