#pragma once

#include <cstdint>
#include <string>

#include "Platform/Export.h"

// One row of a catalogue table; a table ends with the code 0xFFFFFFFF.
struct FENNEC_API tErrorID {
  std::uint32_t dwErrorCode;
  std::uint32_t uTitleID;
  std::uint32_t uTextID;
  std::uint32_t uDetailID;
};

// The three texts a user reads for one error code.
struct FENNEC_API tErrorMessage {
  std::uint32_t dwErrorCode = 0;
  std::string strTitle;
  std::string strText;
  std::string strDetail;
};

// The values a detail text may name. Null texts are allowed.
struct FENNEC_API ERRORDETAILS {
  const char* szPortName;
  std::int32_t nModulePos;
  std::int32_t nTable;  // or the channel of a module
  std::int32_t nRegister;
  const char* szServiceName;
};

// A terminal-bus error as the device reports it; GetKBUSErrorDescr fills the description.
struct FENNEC_API KBUSERROR {
  std::uint16_t wValid = 0;  // 1 when the entry holds an error
  std::uint16_t wErrorCode = 0;
  std::uint16_t wErrorArg = 0;  // a module position
  std::string strDescription;
};

// One row of m_KBusErrList; the list ends with the code 0xFFFF.
struct FENNEC_API KBUSERRORLIST {
  std::uint32_t dwErrorCode;
  std::uint32_t uStringID;
  std::uint32_t bWithArgument;  // 1: the text takes the error's argument
};

// Turns the calling thread's last error code into a title, a short text and a detail in the
// catalogue's language (see ErrorLanguage.h).
class FENNEC_API CFennecErrorHandler {
 public:
  virtual ~CFennecErrorHandler() = default;

  // Fills the message for the thread's last error code and returns the code. Code 0 is
  // stored in the message, whose texts stay as they are. A null message only asks for the code.
  std::uint32_t Evaluate(tErrorMessage* pMessage, const char* szPortName = nullptr, std::int32_t nModulePos = 0,
                         std::int32_t nTable = 0, std::int32_t nRegister = 0,
                         const char* szServiceName = nullptr) const;

  // Fills the description of a valid terminal-bus error; an invalid one gets none.
  bool GetKBUSErrorDescr(KBUSERROR* pError) const;

  static const tErrorID m_CommError[];
  static const tErrorID m_PortError[];
  static const tErrorID m_KBError[];
  static const tErrorID m_BKError[];
  static const tErrorID m_KLError[];
  static const tErrorID m_BKReadTabError[];
  static const KBUSERRORLIST m_KBusErrList[];

 protected:
  // Fills the message from one table; false, with the table's title and the code in numbers,
  // when the table lacks the code.
  bool GetDetails(const std::uint32_t& dwErrorCode, const tErrorID* pTable, tErrorMessage* pMessage,
                  ERRORDETAILS details) const;
};
