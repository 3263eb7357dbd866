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

 protected:
  unsigned int m_nLengthPos = 16;
  unsigned short m_nSizeOfLength = 2;
  short m_nLengthCorrection = 0;
  std::uint32_t m_nLastErrorCode = 0;
};

}  // namespace ORLA
