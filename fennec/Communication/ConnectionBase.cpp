#include "Communication/ConnectionBase.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "Common/ErrorCodes.h"
#include "Common/Result.h"

namespace ORLA {

namespace {

std::uint32_t LittleEndianField(const std::vector<unsigned char>& header, unsigned int pos, unsigned short size) {
  std::uint32_t value = 0;
  for (unsigned short i = size; i > 0; --i) value = (value << 8) | header[pos + i - 1];
  return value;
}

// One framed message off the connection; a failing Read throws after storing its own code.
fennec::Result ReadFramedMessage(IConnection& connection, unsigned char** buffer, unsigned int lengthPos,
                                 unsigned short sizeOfLength, short lengthCorrection, unsigned int* total) {
  try {
    const std::uint64_t headerLength = std::uint64_t{lengthPos} + sizeOfLength;
    if (headerLength > CConnectionBase::kMaxFramedMessage) return fennec::Result::Failure(fennec::kFramedLengthInvalid);
    std::vector<unsigned char> header(static_cast<std::size_t>(headerLength));
    connection.Read(header.data(), static_cast<unsigned int>(header.size()), nullptr);

    // The length comes from the peer: a negative or oversized body is refused before allocating.
    const std::int64_t bodyLength =
        std::int64_t{LittleEndianField(header, lengthPos, sizeOfLength)} + lengthCorrection;
    if (bodyLength < 0 || headerLength + static_cast<std::uint64_t>(bodyLength) > CConnectionBase::kMaxFramedMessage)
      return fennec::Result::Failure(fennec::kFramedLengthInvalid);

    const std::size_t messageLength = header.size() + static_cast<std::size_t>(bodyLength);
    auto message = std::make_unique<unsigned char[]>(messageLength);  // zeroed
    std::copy(header.begin(), header.end(), message.get());
    unsigned int bodyRead = 0;
    if (bodyLength > 0)
      connection.Read(message.get() + header.size(), static_cast<unsigned int>(bodyLength), &bodyRead);

    delete[] *buffer;
    *buffer = message.release();
    if (total != nullptr) *total = static_cast<unsigned int>(header.size()) + bodyRead;
    return fennec::Result::Success();
  } catch (...) {
    return fennec::Result::Reported();
  }
}

}  // namespace

bool CConnectionBase::ReadFragment(unsigned char** buffer, unsigned int* total) {
  return ReadFragment(buffer, m_nLengthPos, m_nSizeOfLength, m_nLengthCorrection, total);
}

bool CConnectionBase::ReadFragment(unsigned char** buffer, unsigned int lengthPos, unsigned short sizeOfLength,
                                   short lengthCorrection, unsigned int* total) {
  if (sizeOfLength > kMaxSizeOfLength || buffer == nullptr) return false;
  const fennec::Result read = ReadFramedMessage(*this, buffer, lengthPos, sizeOfLength, lengthCorrection, total);
  if (const auto code = read.Code()) SetLastErrorCode(*code);
  return fennec::ReportToThread(read);
}

}  // namespace ORLA
