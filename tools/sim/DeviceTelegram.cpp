#include "DeviceTelegram.h"

#include "WireBytes.h"

namespace fennec::sim {

namespace {

constexpr std::size_t kHeader = 10;

RegisterRequest ReadHeader(std::span<const std::uint8_t> telegram) {
  RegisterRequest request;
  request.messageIdent = telegram[3];
  request.multipoint = telegram[4];
  request.count = telegram[5];
  request.device = telegram[7];
  request.table = static_cast<std::uint8_t>(telegram[8] & ~kTableFlag);
  request.write = (telegram[8] & kTableFlag) != 0;
  request.firstRegister = telegram[9];
  return request;
}

// The header of an answer repeats the request's, with the answer identifier; the table byte
// carries the rejection flag instead of the write flag.
std::vector<std::uint8_t> AnswerHeader(const RegisterRequest& request, bool rejected) {
  return {kAnswerStart0,
          kAnswerStart1,
          0,
          request.messageIdent,
          request.multipoint,
          request.count,
          kAnswerIdentifier,
          request.device,
          static_cast<std::uint8_t>(request.table | (rejected ? kTableFlag : 0)),
          request.firstRegister};
}

std::vector<std::uint8_t> Finish(std::vector<std::uint8_t> telegram) {
  telegram[2] = static_cast<std::uint8_t>(telegram.size() + 2);
  AppendU16(telegram, ByteSum(telegram));
  return telegram;
}

}  // namespace

std::uint16_t ByteSum(std::span<const std::uint8_t> bytes) {
  std::uint16_t sum = 0;
  for (const std::uint8_t byte : bytes) sum = static_cast<std::uint16_t>(sum + byte);
  return sum;
}

ParsedRequest ParseRequest(std::span<const std::uint8_t> telegram) {
  ParsedRequest parsed;
  if (telegram.size() < kMinTelegram || telegram.size() > kMaxTelegram) {
    parsed.fault = RequestFault::Length;
    return parsed;
  }
  parsed.request = ReadHeader(telegram);
  if (telegram[0] != kRequestStart0 || telegram[1] != kRequestStart1) {
    parsed.fault = RequestFault::NotRegisterTelegram;
  } else if (telegram[2] != telegram.size()) {
    parsed.fault = RequestFault::Length;
  } else if (ByteSum(telegram.first(telegram.size() - 2)) != U16At(telegram, telegram.size() - 2)) {
    parsed.fault = RequestFault::Checksum;
  } else if (telegram[6] != kRequestIdentifier) {
    parsed.fault = RequestFault::NotRegisterTelegram;
  } else {
    const std::size_t count = parsed.request.count;
    const std::size_t expectedLength = kMinTelegram + (parsed.request.write ? 2 * count : 0);
    if (count == 0 || count > kMaxWords || telegram.size() != expectedLength) {
      parsed.fault = RequestFault::Count;
    } else if (parsed.request.write) {
      parsed.request.words = BytesToWords(telegram.subspan(kHeader, 2 * count));
    }
  }
  return parsed;
}

std::vector<std::uint8_t> BuildReadAnswer(const RegisterRequest& request, std::span<const std::uint16_t> words) {
  std::vector<std::uint8_t> answer = AnswerHeader(request, false);
  for (const std::uint16_t word : words) AppendU16(answer, word);
  return Finish(std::move(answer));
}

std::vector<std::uint8_t> BuildWriteAnswer(const RegisterRequest& request) {
  return Finish(AnswerHeader(request, false));
}

std::vector<std::uint8_t> BuildRejection(const RegisterRequest& request, std::uint16_t status) {
  std::vector<std::uint8_t> answer = AnswerHeader(request, true);
  AppendU16(answer, status);
  return Finish(std::move(answer));
}

}  // namespace fennec::sim
