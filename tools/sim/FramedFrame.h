#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A frame of the framed service protocol as the device sees it: an 18-byte header of
// little-endian words (identifier, request number, fragment, total, two reserved words, result,
// status, data length), then the data.
namespace fennec::sim {

inline constexpr std::size_t kFrameHeader = 18;
inline constexpr std::uint16_t kUpdateIdentifier = 0x1279;
inline constexpr std::uint16_t kLegacyIdentifier = 0x1288;
// The most data bytes the device puts into a frame of a response: the library's default fragment
// size.
inline constexpr std::size_t kFragmentSize = 1400;

namespace frame_status {
inline constexpr std::uint16_t kErrorAbort = 0x0001;
inline constexpr std::uint16_t kRepeat = 0x0002;
inline constexpr std::uint16_t kFetch = 0x4000;
inline constexpr std::uint16_t kFragmented = 0x8000;
}  // namespace frame_status

// Byte offsets of the header fields the device and its faults touch.
inline constexpr std::size_t kIdentifierAt = 0;
inline constexpr std::size_t kRequestNumberAt = 2;
inline constexpr std::size_t kStatusAt = 14;
inline constexpr std::size_t kLengthAt = 16;

struct Frame {
  std::uint16_t identifier = 0;
  std::uint16_t requestNumber = 0;
  std::uint16_t fragment = 0;
  std::uint16_t total = 0;
  std::uint16_t result = 0;
  std::uint16_t status = 0;
  std::vector<std::uint8_t> data;
};

// The number of data bytes a header announces.
std::uint16_t AnnouncedLength(std::span<const std::uint8_t, kFrameHeader> header);

// A frame from its header and its data (as long as the header announced).
Frame ParseFrame(std::span<const std::uint8_t, kFrameHeader> header, std::span<const std::uint8_t> data);

std::vector<std::uint8_t> EncodeFrame(const Frame& frame);

}  // namespace fennec::sim
