#pragma once

#include <cstdint>
#include <vector>

// Response telegrams as a device sends them. The checksum is summed here on its own, not by
// the library under test.
namespace telegram_bytes {

using Bytes = std::vector<unsigned char>;

inline Bytes WithChecksum(Bytes telegram) {
  unsigned sum = 0;
  for (unsigned char byte : telegram) sum += byte;
  telegram.push_back(static_cast<unsigned char>(sum & 0xFF));
  telegram.push_back(static_cast<unsigned char>((sum >> 8) & 0xFF));
  return telegram;
}

inline void AppendWords(Bytes& bytes, const std::vector<std::uint16_t>& words) {
  for (std::uint16_t word : words) {
    bytes.push_back(static_cast<unsigned char>(word & 0xFF));
    bytes.push_back(static_cast<unsigned char>(word >> 8));
  }
}

inline Bytes Concat(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// The answer to a read: the header of the request and the words.
inline Bytes ReadAnswer(unsigned table, unsigned firstReg, const std::vector<std::uint16_t>& words) {
  const auto count = static_cast<unsigned char>(words.size());
  Bytes telegram{0x02, 0xFD, static_cast<unsigned char>(12 + 2 * count), 0, 0, count, 'R', 0,
                 static_cast<unsigned char>(table), static_cast<unsigned char>(firstReg)};
  AppendWords(telegram, words);
  return WithChecksum(telegram);
}

// The answer to a write: the header alone.
inline Bytes WriteAnswer(unsigned table, unsigned firstReg, unsigned count) {
  return WithChecksum({0x02, 0xFD, 12, 0, 0, static_cast<unsigned char>(count), 'R', 0,
                       static_cast<unsigned char>(table), static_cast<unsigned char>(firstReg)});
}

// The device refuses the request with its 16-bit code.
inline Bytes Rejection(unsigned table, unsigned firstReg, std::uint16_t code) {
  Bytes telegram{0x02, 0xFD, 14, 0, 0, 0, 'R', 0, static_cast<unsigned char>(0x80 | table),
                 static_cast<unsigned char>(firstReg)};
  AppendWords(telegram, {code});
  return WithChecksum(telegram);
}

// What a request asks for, read back from its bytes.
struct Request {
  bool write;
  unsigned table;
  unsigned firstReg;
  unsigned count;
  std::vector<std::uint16_t> words;  // of a write
};

inline Request Parse(const Bytes& request) {
  Request parsed{(request[8] & 0x80) != 0, request[8] & 0x7Fu, request[9], request[5], {}};
  for (std::size_t i = 10; i + 3 < request.size(); i += 2)
    parsed.words.push_back(static_cast<std::uint16_t>(request[i] | (request[i + 1] << 8)));
  return parsed;
}

}  // namespace telegram_bytes
