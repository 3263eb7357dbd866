#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "SIORegComm.h"

// The register telegram as bytes: building requests and judging responses, without any I/O.
namespace fennec::telegram {

using Telegram = CSIORegComm::tTelegram;
using Access = CSIORegComm::tRegCommInfo;

// A response is read in stages: these bytes first (start identifier and length), then the rest.
inline constexpr std::size_t kLeadLength = 3;

// Build one request for the registers from access.nFirstReg on and return its length; 0 when
// more words are asked for than one telegram carries.
std::size_t PrepareReadRequest(const Access& access, std::size_t wordCount, Telegram& out);
std::size_t PrepareWriteRequest(const Access& access, std::span<const std::uint16_t> words, Telegram& out);

// Stores the checksum of the telegram whose length is in byte 2; false for a length outside 12..100.
bool AddChecksum(Telegram& telegram);
// Whether a whole telegram carries the checksum of its bytes.
bool VerifyChecksum(std::span<const std::uint8_t> telegram);

enum class Verdict { Good, Rejected, NoAnswer, WrongStart, BadChecksum, BadLength };

struct ResponseCheck {
  Verdict verdict;
  std::uint16_t deviceCode = 0;  // of a rejection
};

struct LeadCheck {
  Verdict verdict;
  std::size_t remaining = 0;  // bytes still to read when the lead is good
};

// Judges the first bytes of a response before anything more is read.
LeadCheck CheckLead(std::span<const std::uint8_t, kLeadLength> lead);

// Judges a whole response: start identifier, length, checksum, then the device's rejection.
ResponseCheck VerifyResponse(std::span<const std::uint8_t> response);

// The last-error code of a verdict; 0 for a good one.
std::uint32_t ErrorCode(const ResponseCheck& check);

// Copies the data words of a read response into out. False, leaving out untouched, when the
// response carries fewer words than out holds.
bool CopyReadData(std::span<const std::uint8_t> response, std::span<std::uint16_t> out);

}  // namespace fennec::telegram
