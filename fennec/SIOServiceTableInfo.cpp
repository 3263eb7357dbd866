// The table list of CSIOService, with the probe for couplers that cannot give it.
#include <array>

#include "Common/ErrorCodes.h"
#include "SIORegComm.h"
#include "SIOService.h"
#include "SIOServiceAnswer.h"
#include "ServiceDecoders.h"

namespace {

constexpr unsigned kCoupler = 0;

}  // namespace

bool CSIOService::GetTableInfo(std::vector<tFBCTable>& tables) {
  tables.clear();
  tAnswer answer;
  if (CallService(SERVICE_GRP_FBC, 19, {}, tAnswer::kWholeBlock, &answer)) {
    if (fennec::service::AppendTableInfo(answer.Delivered(), tables)) return true;
    return Fail(fennec::kCouplerInvalidArgumentCount);
  }
  if (m_dwLastErrorCode != fennec::kCouplerServiceNotSupported) return false;
  if (GetTableInfoForOldFBC(tables)) return true;
  tables.clear();
  return false;
}

// Old couplers are asked table by table with register reads: an invalid table is skipped, a
// table without registers says so by its own code. A line failure ends the probe, since it
// says nothing about the table.
bool CSIOService::GetTableInfoForOldFBC(std::vector<tFBCTable>& tables) {
  for (unsigned table = 0; table < CSIORegComm::MAXCOUNT_TABLES; ++table) {
    std::uint16_t first = 0;
    if (!ReadRegister(kCoupler, table, 0, 1, &first)) {
      if (m_dwLastErrorCode == fennec::kCouplerInvalidTable) continue;
      if (m_dwLastErrorCode != fennec::kCouplerInvalidAddressRange) return false;
      tables.push_back(tFBCTable::Make(table, 0));
      ResetLastErrorCode();
      continue;
    }
    unsigned count = 0;
    if (!CountRegisters(table, count)) return false;
    tables.push_back(tFBCTable::Make(table, count));
  }
  return true;
}

// A full table answers for its last register; otherwise pairs of registers are read until the
// device refuses one, and the table ends where that pair starts.
bool CSIOService::CountRegisters(unsigned nTableNo, unsigned& nCount) {
  std::array<std::uint16_t, 2> words{};
  const unsigned last = CSIORegComm::MAXCOUNT_REGISTER - 1;
  if (ReadRegister(kCoupler, nTableNo, last, 1, words.data())) {
    nCount = CSIORegComm::MAXCOUNT_REGISTER;
    return true;
  }
  if (!fennec::IsDeviceCode(m_dwLastErrorCode)) return false;
  unsigned pair = 0;
  while (pair < CSIORegComm::MAXCOUNT_REGISTER && ReadRegister(kCoupler, nTableNo, pair, 2, words.data())) pair += 2;
  if (pair < CSIORegComm::MAXCOUNT_REGISTER && !fennec::IsDeviceCode(m_dwLastErrorCode)) return false;
  nCount = pair;
  return true;
}
