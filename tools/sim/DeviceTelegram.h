#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace fennec::sim {

// The register telegram as the device sees it: requests start FD 02, answers 02 FD; byte 2 is
// the whole length including the 16-bit checksum, which is the byte sum of everything before it.
inline constexpr std::uint8_t kRequestStart0 = 0xFD;
inline constexpr std::uint8_t kRequestStart1 = 0x02;
inline constexpr std::uint8_t kAnswerStart0 = 0x02;
inline constexpr std::uint8_t kAnswerStart1 = 0xFD;
inline constexpr std::uint8_t kMinTelegram = 12;
inline constexpr std::uint8_t kMaxTelegram = 100;
inline constexpr std::uint8_t kMaxWords = 44;
inline constexpr std::uint8_t kRequestIdentifier = 'R';
// The device answers with the lower-case identifier.
inline constexpr std::uint8_t kAnswerIdentifier = 'r';
// In a request: the request writes. In an answer: the device rejects the request.
inline constexpr std::uint8_t kTableFlag = 0x80;

struct RegisterRequest {
  std::uint8_t messageIdent = 0;
  std::uint8_t multipoint = 0;
  std::uint8_t count = 0;
  std::uint8_t device = 0;
  std::uint8_t table = 0;
  std::uint8_t firstRegister = 0;
  bool write = false;
  std::vector<std::uint16_t> words;  // the data of a write
};

enum class RequestFault {
  None,
  Length,               // not 12..100 bytes, or not as long as its length byte says
  Checksum,
  NotRegisterTelegram,  // wrong start bytes or identifier: not meant for this protocol
  Count,                // the register count does not fit the length or the 44-word limit
};

struct ParsedRequest {
  RequestFault fault = RequestFault::None;
  RegisterRequest request;  // filled whenever the header could be read
};

std::uint16_t ByteSum(std::span<const std::uint8_t> bytes);

ParsedRequest ParseRequest(std::span<const std::uint8_t> telegram);

std::vector<std::uint8_t> BuildReadAnswer(const RegisterRequest& request, std::span<const std::uint16_t> words);
std::vector<std::uint8_t> BuildWriteAnswer(const RegisterRequest& request);
std::vector<std::uint8_t> BuildRejection(const RegisterRequest& request, std::uint16_t status);

}  // namespace fennec::sim
