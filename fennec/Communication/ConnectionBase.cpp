#include "Communication/ConnectionBase.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "Common/ErrorCodes.h"
#include "Platform/LastError.h"

namespace ORLA {

namespace {

bool RefuseLength(CConnectionBase& connection) {
  connection.SetLastErrorCode(fennec::kFramedLengthInvalid);
  fennec::platform::SetThreadLastError(fennec::kFramedLengthInvalid);
  return false;
}

std::uint32_t LittleEndianField(const std::vector<unsigned char>& header, unsigned int pos, unsigned short size) {
  std::uint32_t value = 0;
  for (unsigned short i = size; i > 0; --i) value = (value << 8) | header[pos + i - 1];
  return value;
}

}  // namespace

bool CConnectionBase::ReadFragment(unsigned char** buffer, unsigned int* total) {
  return ReadFragment(buffer, m_nLengthPos, m_nSizeOfLength, m_nLengthCorrection, total);
}

bool CConnectionBase::ReadFragment(unsigned char** buffer, unsigned int lengthPos, unsigned short sizeOfLength,
                                   short lengthCorrection, unsigned int* total) {
  if (sizeOfLength > kMaxSizeOfLength || buffer == nullptr) return false;
  try {
    const std::uint64_t headerLength = std::uint64_t{lengthPos} + sizeOfLength;
    if (headerLength > kMaxFramedMessage) return RefuseLength(*this);
    std::vector<unsigned char> header(static_cast<std::size_t>(headerLength));
    ReadComplete(header.data(), static_cast<unsigned int>(header.size()));

    // The length comes from the peer: a negative or oversized body is refused before allocating.
    const std::int64_t bodyLength =
        std::int64_t{LittleEndianField(header, lengthPos, sizeOfLength)} + lengthCorrection;
    if (bodyLength < 0 || headerLength + static_cast<std::uint64_t>(bodyLength) > kMaxFramedMessage)
      return RefuseLength(*this);

    const std::size_t messageLength = header.size() + static_cast<std::size_t>(bodyLength);
    auto message = std::make_unique<unsigned char[]>(messageLength);  // zeroed
    std::copy(header.begin(), header.end(), message.get());
    if (bodyLength > 0) ReadComplete(message.get() + header.size(), static_cast<unsigned int>(bodyLength));

    delete[] *buffer;
    *buffer = message.release();
    if (total != nullptr) *total = static_cast<unsigned int>(messageLength);
    return true;
  } catch (...) {
    // The transport has stored its failure code already.
    return false;
  }
}

}  // namespace ORLA
