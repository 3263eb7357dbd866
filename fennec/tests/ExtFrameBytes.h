#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "TelegramBytes.h"

// Frames of the extended protocol as a device sends and reads them, summed and parsed here on
// their own, not by the library under test.
namespace ext_bytes {

using Bytes = std::vector<unsigned char>;
using Words = std::vector<std::uint16_t>;

inline constexpr unsigned char kProtId = '$';
inline constexpr std::uint16_t kMore = 0x8000;

struct Frame {
  unsigned char protId = kProtId;
  unsigned char cmd = 0;
  std::uint16_t fragCnt = 0;
  unsigned char seqNr = 0;
  unsigned char err = 0;
  Bytes data;

  std::uint16_t Counter() const { return fragCnt & 0x7FFF; }
  bool More() const { return (fragCnt & kMore) != 0; }
  friend bool operator==(const Frame&, const Frame&) = default;
};

inline Bytes Fields(const Frame& frame) {
  const auto length = static_cast<std::uint16_t>(12 + frame.data.size());
  Bytes bytes{static_cast<unsigned char>(length & 0xFF), static_cast<unsigned char>(length >> 8), frame.protId,
              frame.cmd, static_cast<unsigned char>(frame.fragCnt & 0xFF), static_cast<unsigned char>(frame.fragCnt >> 8),
              frame.seqNr, frame.err};
  bytes.insert(bytes.end(), frame.data.begin(), frame.data.end());
  return bytes;
}

// As the device sends it: 02 FD, the fields, the byte sum.
inline Bytes DeviceFrame(const Frame& frame) {
  return telegram_bytes::WithChecksum(telegram_bytes::Concat({0x02, 0xFD}, Fields(frame)));
}

// As the PC sends it: FD 02, the fields, the byte sum.
inline Bytes PcFrame(const Frame& frame) {
  return telegram_bytes::WithChecksum(telegram_bytes::Concat({0xFD, 0x02}, Fields(frame)));
}

inline std::uint16_t WordAt(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// A frame the library wrote, with its fields.
inline Frame Parse(const Bytes& written) {
  Frame frame{written[4], written[5], WordAt(written, 6), written[8], written[9], {}};
  frame.data.assign(written.begin() + 10, written.end() - 2);
  return frame;
}

inline Bytes LittleEndian(const Words& words) {
  Bytes bytes;
  telegram_bytes::AppendWords(bytes, words);
  return bytes;
}

// A message: six header words and the payload.
inline Bytes Message(const Words& header, const Bytes& payload = {}) {
  return telegram_bytes::Concat(LittleEndian(header), payload);
}

// The acknowledgement of a fragment.
inline Frame Confirmation(std::uint16_t counter, unsigned char seqNr, unsigned char err = 0) {
  return {kProtId, 0, counter, seqNr, err, {}};
}

}  // namespace ext_bytes
