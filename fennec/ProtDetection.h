#pragma once

#include <cstdint>

#include "Platform/Export.h"
#include "ORLAHelpFunktions.h"

class CSIOService;
class CExtProtLogFile;

// Reads the device's protocol description, register table 124, through the legacy services and
// decides whether the extended protocol is there and with which fragment and buffer sizes.
// Until DetectProtokollType has run it holds the defaults: fragments of 100 bytes, no extended
// protocol. Neither the service nor the trace log is owned.
class FENNEC_API CProtDetection {
 public:
  static constexpr unsigned TABLE_NO = 124;
  static constexpr unsigned TABLE_WORDS = 11;

  CProtDetection(CSIOService* pService, CExtProtLogFile* pLogFile);

  // 0 when table 124 was read (supported or not), 10 when its checksum is wrong, else the code
  // of the failed register read.
  std::uint32_t DetectProtokollType();

  std::uint16_t GetVersion() const { return m_usVersion; }
  std::uint16_t GetFragmentSize() const { return m_usFragmentSize; }
  std::uint16_t GetTargetBufSize() const { return m_usTargetBufSize; }
  bool GetFragmentEnable() const { return m_bFragmentEnable; }
  bool IsExtProtSupported() const { return m_bExtProtSupported; }
  std::uint16_t GetProtocolID() const { return m_usProtocolID; }
  std::uint16_t GetFragmentTimeout() const { return m_usFragmentTimeout; }
  std::uint16_t GetRegAccTimeout() const { return m_usRegAccTimeout; }

 private:
  std::uint32_t ReadTable(std::uint16_t (&table)[TABLE_WORDS], unsigned& nWords);

  CSIOService* m_pService;
  CORLAHelpFunktions m_Helper;
  CExtProtLogFile* m_pLogFile;
  std::uint16_t m_usFragmentSize = 100;
  std::uint16_t m_usTargetBufSize = 0;
  bool m_bFragmentEnable = false;
  std::uint16_t m_usProtocolID = 0;
  std::uint16_t m_usFragmentTimeout = 0;
  std::uint16_t m_usRegAccTimeout = 0;
  std::uint16_t m_usVersion = 0;
  bool m_bExtProtSupported = false;
};
