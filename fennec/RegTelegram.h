#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The register telegram as bytes: building requests and judging responses, without any I/O.
namespace fennec::telegram {

// A request starts FD 02, a response 02 FD: an echoed request is told apart from an answer.
inline constexpr std::uint8_t kRequestStartLow = 0xFD;
inline constexpr std::uint8_t kRequestStartHigh = 0x02;
inline constexpr std::uint8_t kResponseStartLow = 0x02;
inline constexpr std::uint8_t kResponseStartHigh = 0xFD;

inline constexpr std::uint8_t kHeaderLength = 10;  // bytes before the data words
inline constexpr std::uint8_t kMinLength = 12;     // header and checksum, no data
inline constexpr std::uint8_t kMaxLength = 100;    // header, the most data words, checksum
inline constexpr std::uint8_t kMaxDataWords = 44;

// Device, table and register numbers are byte fields; bit 7 of the table byte marks a write.
inline constexpr std::uint32_t kDeviceCount = 256;
inline constexpr std::uint32_t kTableCount = 128;
inline constexpr std::uint32_t kRegisterCount = 256;

// A response is read in stages: these bytes first (start identifier and length), then the rest.
inline constexpr std::size_t kLeadLength = 3;

// One telegram as it goes on the wire: the bytes and how many of them belong to it.
struct Telegram {
  std::array<std::uint8_t, kMaxLength> bytes{};
  std::size_t length = 0;

  std::span<const std::uint8_t> Wire() const { return std::span(bytes).first(length); }
};

// Where an access starts.
struct Address {
  std::uint8_t device;
  std::uint8_t table;
  std::uint8_t firstRegister;
};

// One request for wordCount registers from address on; none when more words are asked for than
// one telegram carries.
std::optional<Telegram> PrepareReadRequest(const Address& address, std::size_t wordCount);
std::optional<Telegram> PrepareWriteRequest(const Address& address, std::span<const std::uint16_t> words);

// Stores the checksum over the telegram's length; false for a length outside 12..100.
bool AddChecksum(Telegram& telegram);
// Whether a whole telegram carries the checksum of its bytes.
bool VerifyChecksum(std::span<const std::uint8_t> telegram);

// Foreign: a sound telegram that answers another request, one that came too late for its own.
enum class Verdict { Good, Rejected, NoAnswer, WrongStart, BadChecksum, BadLength, Foreign };

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

// Judges a whole response as VerifyResponse does, then whether it answers this request: the
// same device, table and first register (else Foreign), and for a good answer the same count
// and the length of the answer to it (else BadLength).
ResponseCheck VerifyResponseTo(std::span<const std::uint8_t> response, std::span<const std::uint8_t> request);

// The last-error code of a verdict; 0 for a good one.
std::uint32_t ErrorCode(const ResponseCheck& check);

// Copies the data words of a read response into out. False, leaving out untouched, when the
// response carries fewer words than out holds.
bool CopyReadData(std::span<const std::uint8_t> response, std::span<std::uint16_t> out);

}  // namespace fennec::telegram
