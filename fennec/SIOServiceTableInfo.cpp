// The table list of CSIOService, with the probe for couplers that cannot give it.
#include <array>
#include <span>

#include "Common/ErrorCodes.h"
#include "SIORegComm.h"
#include "SIOService.h"
#include "SIOServiceAnswer.h"
#include "ServiceDecoders.h"

using fennec::Result;

namespace {

constexpr unsigned kCoupler = 0;

// The reads go through the object's own exported register access, which leaves its code in the
// object.
Result Read(CSIOService& service, unsigned table, unsigned first, unsigned count, std::span<std::uint16_t> words) {
  if (service.ReadRegister(kCoupler, table, first, count, words.data())) return Result::Success();
  return Result::Failure(service.GetLastErrorCode());
}

bool IsDeviceRefusal(const Result& result) { return result.Code() && fennec::IsDeviceCode(*result.Code()); }

}  // namespace

bool CSIOService::GetTableInfo(std::vector<tFBCTable>& tables) {
  tables.clear();
  tAnswer answer;
  const Result listed = CallService(SERVICE_GRP_FBC, 19, {}, tAnswer::kWholeBlock, &answer);
  if (listed.Succeeded()) {
    if (fennec::service::AppendTableInfo(answer.Delivered(), tables)) return true;
    return Fail(fennec::kCouplerInvalidArgumentCount);
  }
  // The refusal is reported even when the probe then finds the tables.
  Report(listed);
  if (!listed.Is(fennec::kCouplerServiceNotSupported)) return false;
  if (Report(GetTableInfoForOldFBC(tables))) return true;
  tables.clear();
  return false;
}

// Old couplers are asked table by table with register reads: an invalid table is skipped, a
// table without registers says so by its own code. A line failure ends the probe, since it
// says nothing about the table.
Result CSIOService::GetTableInfoForOldFBC(std::vector<tFBCTable>& tables) {
  for (unsigned table = 0; table < CSIORegComm::MAXCOUNT_TABLES; ++table) {
    std::array<std::uint16_t, 1> first{};
    if (const Result read = Read(*this, table, 0, 1, first); !read.Succeeded()) {
      if (read.Is(fennec::kCouplerInvalidTable)) continue;
      if (!read.Is(fennec::kCouplerInvalidAddressRange)) return read;
      tables.push_back(tFBCTable::Make(table, 0));
      ResetLastErrorCode();
      continue;
    }
    unsigned count = 0;
    if (const Result counted = CountRegisters(table, count); !counted.Succeeded()) return counted;
    tables.push_back(tFBCTable::Make(table, count));
  }
  return Result::Success();
}

// A full table answers for its last register; otherwise pairs of registers are read until the
// device refuses one, and the table ends where that pair starts.
Result CSIOService::CountRegisters(unsigned nTableNo, unsigned& nCount) {
  std::array<std::uint16_t, 2> words{};
  const unsigned last = CSIORegComm::MAXCOUNT_REGISTER - 1;
  const Result full = Read(*this, nTableNo, last, 1, words);
  if (full.Succeeded()) {
    nCount = CSIORegComm::MAXCOUNT_REGISTER;
    return full;
  }
  if (!IsDeviceRefusal(full)) return full;
  unsigned pair = 0;
  for (; pair < CSIORegComm::MAXCOUNT_REGISTER; pair += 2) {
    const Result read = Read(*this, nTableNo, pair, 2, words);
    if (read.Succeeded()) continue;
    if (!IsDeviceRefusal(read)) return read;
    break;
  }
  nCount = pair;
  return Result::Success();
}
