#include "RegTelegram.h"

#include "Common/ByteOrder.h"
#include "Common/ErrorCodes.h"
#include "ORLAHelpFunktions.h"

namespace fennec::telegram {

namespace {

constexpr std::size_t kLengthOffset = 2;
constexpr std::size_t kCountOffset = 5;
constexpr std::size_t kIdentOffset = 6;
constexpr std::size_t kDeviceOffset = 7;
constexpr std::size_t kTableOffset = 8;
constexpr std::size_t kRegisterOffset = 9;
constexpr std::size_t kChecksumLength = 2;
constexpr std::uint8_t kRegisterCommunication = 'R';
constexpr std::uint8_t kWriteFlag = 0x80;   // in the table byte of a request
constexpr std::uint8_t kRejectFlag = 0x80;  // in the table byte of a response
// A rejection carries the device's code where read data would start.
constexpr std::size_t kRejectionLength = kMinLength + 2;

bool IsValidLength(std::size_t length) { return length >= kMinLength && length <= kMaxLength; }

std::size_t DataWordsIn(std::span<const std::uint8_t> telegram) { return (telegram.size() - kMinLength) / 2; }

std::span<const std::uint8_t, 2> WordAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return bytes.subspan(offset).first<2>();
}

std::optional<Telegram> PrepareRequest(const Address& address, std::size_t wordCount,
                                       std::span<const std::uint16_t> writeData) {
  if (wordCount > kMaxDataWords) return std::nullopt;
  Telegram out;
  out.length = writeData.empty() ? kMinLength : (wordCount + 6) * 2;
  out.bytes[0] = kRequestStartLow;
  out.bytes[1] = kRequestStartHigh;
  out.bytes[kLengthOffset] = static_cast<std::uint8_t>(out.length);
  out.bytes[kCountOffset] = static_cast<std::uint8_t>(wordCount);
  out.bytes[kIdentOffset] = kRegisterCommunication;
  out.bytes[kDeviceOffset] = address.device;
  out.bytes[kTableOffset] = address.table;
  out.bytes[kRegisterOffset] = address.firstRegister;
  if (!writeData.empty()) {
    out.bytes[kTableOffset] |= kWriteFlag;
    auto data = std::span(out.bytes).subspan(kHeaderLength);
    for (std::uint16_t word : writeData) {
      StoreU16LE(data.first<2>(), word);
      data = data.subspan(2);
    }
  }
  AddChecksum(out);  // the length was set above and is always in range
  return out;
}

}  // namespace

std::optional<Telegram> PrepareReadRequest(const Address& address, std::size_t wordCount) {
  return PrepareRequest(address, wordCount, {});
}

std::optional<Telegram> PrepareWriteRequest(const Address& address, std::span<const std::uint16_t> words) {
  return PrepareRequest(address, words.size(), words);
}

bool AddChecksum(Telegram& telegram) {
  if (!IsValidLength(telegram.length)) return false;
  const std::size_t summed = telegram.length - kChecksumLength;
  StoreU16LE(std::span(telegram.bytes).subspan(summed).first<2>(),
             CORLAHelpFunktions::CalculateChecksum(telegram.bytes.data(), summed));
  return true;
}

bool VerifyChecksum(std::span<const std::uint8_t> telegram) {
  if (!IsValidLength(telegram.size())) return false;
  const std::size_t summed = telegram.size() - kChecksumLength;
  return CORLAHelpFunktions::CalculateChecksum(telegram.data(), summed) == LoadU16LE(WordAt(telegram, summed));
}

LeadCheck CheckLead(std::span<const std::uint8_t, kLeadLength> lead) {
  if (lead[0] == kResponseStartLow && lead[1] == kResponseStartHigh) {
    const std::size_t length = lead[kLengthOffset];
    if (!IsValidLength(length)) return {Verdict::BadLength};
    return {Verdict::Good, length - kLeadLength};
  }
  // A request heard back from a half-duplex line starts with non-zero bytes too.
  if (lead[0] != 0 && lead[1] != 0) return {Verdict::WrongStart};
  return {Verdict::NoAnswer};
}

ResponseCheck VerifyResponse(std::span<const std::uint8_t> response) {
  if (response.size() < kLeadLength) return {Verdict::NoAnswer};
  const LeadCheck lead = CheckLead(response.first<kLeadLength>());
  if (lead.verdict != Verdict::Good) return {lead.verdict};
  if (response.size() != response[kLengthOffset]) return {Verdict::BadLength};
  if (!VerifyChecksum(response)) return {Verdict::BadChecksum};
  if ((response[kTableOffset] & kRejectFlag) == 0) return {Verdict::Good};
  // Too short to hold a code: the checksum would otherwise be reported as the device's code.
  if (response.size() < kRejectionLength) return {Verdict::BadLength};
  return {Verdict::Rejected, LoadU16LE(WordAt(response, kHeaderLength))};
}

ResponseCheck VerifyResponseTo(std::span<const std::uint8_t> response, std::span<const std::uint8_t> request) {
  const ResponseCheck check = VerifyResponse(response);
  if (check.verdict != Verdict::Good && check.verdict != Verdict::Rejected) return check;
  if (request.size() < kMinLength) return {Verdict::Foreign};
  const auto table = [](std::uint8_t byte) { return static_cast<std::uint8_t>(byte & ~kWriteFlag); };
  if (response[kDeviceOffset] != request[kDeviceOffset] || table(response[kTableOffset]) != table(request[kTableOffset]) ||
      response[kRegisterOffset] != request[kRegisterOffset])
    return {Verdict::Foreign};
  // A rejection carries a code where data would be; its count is not looked at.
  if (check.verdict == Verdict::Rejected) return check;
  const bool read = (request[kTableOffset] & kWriteFlag) == 0;
  const std::size_t length = read ? kMinLength + 2u * request[kCountOffset] : kMinLength;
  if (response[kCountOffset] != request[kCountOffset] || response.size() != length) return {Verdict::BadLength};
  return check;
}

std::uint32_t ErrorCode(const ResponseCheck& check) {
  switch (check.verdict) {
    case Verdict::Good:
      return 0;
    case Verdict::Rejected:
      return DeviceRejectionCode(check.deviceCode);
    case Verdict::NoAnswer:
      return kNoAnswer;
    case Verdict::WrongStart:
    case Verdict::Foreign:
      return kInvalidStartIdentifier;
    case Verdict::BadChecksum:
    case Verdict::BadLength:
      break;
  }
  return kInvalidChecksum;
}

bool CopyReadData(std::span<const std::uint8_t> response, std::span<std::uint16_t> out) {
  if (!IsValidLength(response.size()) || DataWordsIn(response) < out.size()) return false;
  auto data = response.subspan(kHeaderLength);
  for (std::uint16_t& word : out) {
    word = LoadU16LE(data.first<2>());
    data = data.subspan(2);
  }
  return true;
}

}  // namespace fennec::telegram
