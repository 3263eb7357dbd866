#include "FennecErrorHandler.h"

#include <span>
#include <vector>

#include "Common/ErrorCodes.h"
#include "ErrorDetailValues.h"
#include "ErrorLanguage.h"
#include "ErrorStrings.h"
#include "Platform/Assert.h"
#include "Platform/LastError.h"
#include "Platform/ProgramName.h"
#include "SafeFormat.h"

namespace {

using fennec::ErrorString;
using fennec::ErrorText;
using fennec::FormatArg;
using fennec::FormatText;

constexpr std::uint32_t kTableEnd = 0xFFFFFFFF;
constexpr std::uint32_t kKBusListEnd = 0xFFFF;
constexpr std::uint32_t kCodeDetail = 6098;   // "Errorcode: 0x%08X (%d)"
constexpr std::uint32_t kUnknownText = 6099;  // "Unknown Error !"

struct GroupTable {
  std::uint32_t mask;
  const tErrorID* table;
};

// The table of the first mask whose bits are all set in the code; the order matters, as the
// coupler's sub-groups 0x83xx and 0x84xx also carry the coupler group's bits.
const tErrorID* TableOfCode(std::uint32_t code) {
  const GroupTable groups[] = {
      {fennec::kGroupCommunication, CFennecErrorHandler::m_CommError},
      {fennec::kGroupPort, CFennecErrorHandler::m_PortError},
      {fennec::kCouplerModuleRegisters, CFennecErrorHandler::m_KLError},
      {fennec::kCouplerModuleTables, CFennecErrorHandler::m_BKReadTabError},
      {fennec::kGroupCoupler, CFennecErrorHandler::m_BKError},
      {fennec::kGroupTerminalBus, CFennecErrorHandler::m_KBError},
  };
  for (const GroupTable& group : groups)
    if ((code & group.mask) == group.mask) return group.table;
  return nullptr;
}

const tErrorID* FindRow(const tErrorID* table, std::uint32_t code) {
  for (const tErrorID* row = table; row->dwErrorCode != kTableEnd; ++row)
    if (row->dwErrorCode == code) return row;
  return nullptr;
}

// A code the catalogue has no row for still shows its number, never an empty text.
void FillUnknown(std::string title, std::uint32_t code, std::span<const ErrorString> strings, tErrorMessage& message) {
  const FormatArg codeTwice[] = {std::int64_t{code}, std::int64_t{code}};
  message.strTitle = std::move(title);
  message.strText = ErrorText(strings, kUnknownText);
  message.strDetail = FormatText(ErrorText(strings, kCodeDetail), codeTwice);
}

}  // namespace

std::uint32_t CFennecErrorHandler::Evaluate(tErrorMessage* pMessage, const char* szPortName, std::int32_t nModulePos,
                                            std::int32_t nTable, std::int32_t nRegister,
                                            const char* szServiceName) const {
  const std::uint32_t code = fennec::platform::GetThreadLastError();
  if (pMessage == nullptr) return code;
  pMessage->dwErrorCode = code;
  if (code == 0) return 0;

  const tErrorID* table = TableOfCode(code);
  if (table == nullptr)
    FillUnknown(fennec::platform::ProgramName(), code, fennec::ErrorStringsOf(fennec::GetErrorLanguage()), *pMessage);
  else
    GetDetails(code, table, pMessage, {szPortName, nModulePos, nTable, nRegister, szServiceName});
  return code;
}

bool CFennecErrorHandler::GetDetails(const std::uint32_t& dwErrorCode, const tErrorID* pTable,
                                     tErrorMessage* pMessage, ERRORDETAILS details) const {
  if (!FENNEC_ASSERT(pTable != nullptr) || !FENNEC_ASSERT(pMessage != nullptr)) return false;
  const std::uint16_t language = fennec::GetErrorLanguage();
  const std::span<const ErrorString> strings = fennec::ErrorStringsOf(language);
  pMessage->dwErrorCode = dwErrorCode;

  const tErrorID* row = FindRow(pTable, dwErrorCode);
  if (row == nullptr) {
    FillUnknown(std::string(ErrorText(strings, pTable[0].uTitleID)), dwErrorCode, strings, *pMessage);
    return false;
  }
  const std::vector<FormatArg> values = fennec::DetailValues(row->uDetailID, language, details);
  const std::string_view text = ErrorText(strings, row->uTextID);
  const std::string_view detail = ErrorText(strings, row->uDetailID);
  pMessage->strTitle = ErrorText(strings, row->uTitleID);
  pMessage->strText = fennec::TextTakesServiceName(row->uDetailID) ? FormatText(text, values) : std::string(text);
  pMessage->strDetail = values.empty() ? std::string(detail) : FormatText(detail, values);
  return true;
}

bool CFennecErrorHandler::GetKBUSErrorDescr(KBUSERROR* pError) const {
  if (!FENNEC_ASSERT(pError != nullptr)) return false;
  pError->strDescription.clear();
  if (pError->wValid != 1) return true;

  const std::span<const ErrorString> strings = fennec::ErrorStringsOf(fennec::GetErrorLanguage());
  for (const KBUSERRORLIST* row = m_KBusErrList; row->dwErrorCode != kKBusListEnd; ++row) {
    if (row->dwErrorCode != pError->wErrorCode) continue;
    const std::string_view text = ErrorText(strings, row->uStringID);
    const FormatArg argument[] = {std::int64_t{pError->wErrorArg}};
    pError->strDescription = row->bWithArgument != 0 ? FormatText(text, argument) : std::string(text);
    break;
  }
  return true;
}
