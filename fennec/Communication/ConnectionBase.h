#pragma once

#include <cstdint>
#include <string>

#include "Communication/IConnection.h"
#include "Communication/SettingsBase.h"

namespace ORLA {

// Last error code and the length-framed read shared by the transports.
class FENNEC_API CConnectionBase : public IConnection, public CSettingsBase {
 public:
  static constexpr unsigned short kMaxSizeOfLength = 4;
  // A framed message larger than this is refused before anything is allocated: no message of
  // any protocol on these transports comes near it, and a damaged length field must not make
  // the library allocate gigabytes.
  static constexpr std::uint32_t kMaxFramedMessage = 16u * 1024 * 1024;

  CConnectionBase() = default;
  CConnectionBase(unsigned int lengthPos, unsigned short sizeOfLength, short lengthCorrection)
      : m_nLengthPos(lengthPos), m_nSizeOfLength(sizeOfLength), m_nLengthCorrection(lengthCorrection) {}

  std::uint32_t GetLastErrorCode() override { return m_nLastErrorCode; }
  bool ReadFragment(unsigned char** buffer, unsigned int* total) override;
  bool ReadFragment(unsigned char** buffer, unsigned int lengthPos, unsigned short sizeOfLength,
                    short lengthCorrection, unsigned int* total) override;

  virtual void SetLastErrorCode(unsigned long code) { m_nLastErrorCode = static_cast<std::uint32_t>(code); }
  virtual void ResetLastErrorCode() { m_nLastErrorCode = 0; }
  virtual std::string GetType() = 0;

  // A probe of the device (Connect) waits only briefly for its answer. Each transport replaces
  // its configured time-outs with its own short ones and keeps them for RestoreTimeouts; callers
  // hold this through CScopedProbeTimeouts so the short ones never outlive the probe.
  virtual void ApplyProbeTimeouts() = 0;
  virtual void RestoreTimeouts() = 0;
  // Why the transport's last system call failed, in words a technician can act on; empty when
  // there is nothing to add to the error code's catalogue text.
  virtual std::string GetSystemErrorAdvice() const { return {}; }

 protected:
  // Reads all count bytes of a framed message. A transport whose Read returns what has arrived
  // so far waits for the rest here, so that a message split on its way is never read short.
  virtual void ReadComplete(unsigned char* buffer, unsigned int count) { Read(buffer, count, nullptr); }

  unsigned int m_nLengthPos = 16;
  unsigned short m_nSizeOfLength = 2;
  short m_nLengthCorrection = 0;
  std::uint32_t m_nLastErrorCode = 0;
};

// Holds a connection's probe time-outs for one scope. Failures to set or restore them are left
// in the connection's last error, as any settings failure is.
class CScopedProbeTimeouts {
 public:
  explicit CScopedProbeTimeouts(CConnectionBase& connection) : m_connection(connection) {
    m_connection.ApplyProbeTimeouts();
  }
  ~CScopedProbeTimeouts() {
    try {
      m_connection.RestoreTimeouts();
    } catch (...) {
    }
  }
  CScopedProbeTimeouts(const CScopedProbeTimeouts&) = delete;
  CScopedProbeTimeouts& operator=(const CScopedProbeTimeouts&) = delete;

 private:
  CConnectionBase& m_connection;
};

}  // namespace ORLA
