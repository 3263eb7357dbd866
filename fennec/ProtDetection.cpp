#include "ProtDetection.h"

#include <algorithm>

#include "ExtProtLogFile.h"
#include "ExtResultCodes.h"
#include "Platform/LastError.h"
#include "SIOService.h"

namespace {

constexpr unsigned kCoupler = 0;
// Word numbers in table 124.
constexpr unsigned kTableByteSize = 0;
constexpr unsigned kProtocolID = 2;
constexpr unsigned kTargetBufSize = 3;
constexpr unsigned kFragmentEnable = 4;
constexpr unsigned kFragmentSize = 5;
constexpr unsigned kFragmentTimeout = 6;
constexpr unsigned kRegAccTimeout = 7;
constexpr unsigned kVersion = 8;

}  // namespace

CProtDetection::CProtDetection(CSIOService* pService, CExtProtLogFile* pLogFile)
    : m_pService(pService), m_pLogFile(pLogFile) {}

std::uint32_t CProtDetection::DetectProtokollType() {
  std::uint16_t table[TABLE_WORDS] = {};
  unsigned words = 0;
  std::uint32_t result = ReadTable(table, words);
  if (result == 0 && m_Helper.CalculateChecksum(table, words) != 0) result = fennec::ext::kTable124Checksum;
  if (result == 0) {
    m_usProtocolID = table[kProtocolID];
    m_usTargetBufSize = table[kTargetBufSize];
    m_bFragmentEnable = table[kFragmentEnable] == 1;
    m_usFragmentSize = table[kFragmentSize];
    m_usFragmentTimeout = table[kFragmentTimeout];
    m_usRegAccTimeout = table[kRegAccTimeout];
    m_usVersion = table[kVersion];
  }
  m_bExtProtSupported = result == 0 && m_usVersion > 0;
  if (m_pLogFile != nullptr) m_pLogFile->WriteTab124(table, m_bExtProtSupported);
  return result;
}

// The table says its own size in its first word; no more than the eleven known words are read.
std::uint32_t CProtDetection::ReadTable(std::uint16_t (&table)[TABLE_WORDS], unsigned& nWords) {
  if (!m_pService->ReadRegister(kCoupler, TABLE_NO, 0, 1, &table[kTableByteSize]))
    return fennec::platform::GetThreadLastError();
  nWords = std::min<unsigned>(table[kTableByteSize] / 2, TABLE_WORDS);
  if (!m_pService->ReadRegister(kCoupler, TABLE_NO, 0, nWords, table)) {
    nWords = 0;
    return fennec::platform::GetThreadLastError();
  }
  return 0;
}
