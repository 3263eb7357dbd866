#pragma once

#include <cstdint>
#include <string>

#include "Platform/Export.h"

// The failure of the XML document layer, with a result code in the platform's HRESULT
// numbering, so that reports and callers read the same codes everywhere.
class FENNEC_API CComError {
 public:
  static constexpr std::uint32_t kInvalidPointer = 0x80004003;

  explicit CComError(std::uint32_t code, std::string description = {})
      : m_hrCode(code), m_strDescription(std::move(description)) {}

  std::uint32_t Error() const { return m_hrCode; }
  const std::string& Description() const { return m_strDescription; }

 private:
  std::uint32_t m_hrCode;
  std::string m_strDescription;
};
