#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The client side of the register telegram, written for the tests only and independently of
// the simulator's code, so that each side checks the other.
namespace simtest {

using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint16_t>;

// The one-register read of table 124 (checksum 0x01DA) and the answer of a device whose
// table 124 is 22 bytes long.
inline const Bytes kRead124{0xFD, 0x02, 0x0C, 0x00, 0x00, 0x01, 0x52, 0x00, 0x7C, 0x00, 0xDA, 0x01};
inline const Bytes kAnswer124{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x7C, 0x00, 0x16, 0x00, 0x12, 0x02};

inline Bytes WithChecksum(Bytes telegram) {
  unsigned sum = 0;
  for (const std::uint8_t byte : telegram) sum += byte;
  telegram.push_back(static_cast<std::uint8_t>(sum & 0xFF));
  telegram.push_back(static_cast<std::uint8_t>((sum >> 8) & 0xFF));
  return telegram;
}

inline Bytes ReadRequest(std::uint8_t table, std::uint8_t first, std::uint8_t count, std::uint8_t device = 0) {
  return WithChecksum({0xFD, 0x02, 12, 0, 0, count, 'R', device, table, first});
}

inline Bytes WriteRequest(std::uint8_t table, std::uint8_t first, const Words& words) {
  Bytes telegram{0xFD, 0x02, static_cast<std::uint8_t>(12 + 2 * words.size()), 0, 0,
                 static_cast<std::uint8_t>(words.size()), 'R', 0, static_cast<std::uint8_t>(table | 0x80), first};
  for (const std::uint16_t word : words) {
    telegram.push_back(static_cast<std::uint8_t>(word & 0xFF));
    telegram.push_back(static_cast<std::uint8_t>(word >> 8));
  }
  return WithChecksum(telegram);
}

struct Reply {
  bool answered = false;
  std::optional<std::uint16_t> rejection;
  Words words;

  bool Good() const { return answered && !rejection; }
};

// Checks start bytes, length and checksum before anything else is taken from the answer.
inline Reply ParseAnswer(const std::optional<Bytes>& answer) {
  Reply reply;
  if (!answer || answer->size() < 12 || (*answer)[0] != 0x02 || (*answer)[1] != 0xFD || (*answer)[2] != answer->size())
    return reply;
  const Bytes& bytes = *answer;
  unsigned sum = 0;
  for (std::size_t i = 0; i + 2 < bytes.size(); ++i) sum += bytes[i];
  const unsigned checksum = bytes[bytes.size() - 2] | (bytes[bytes.size() - 1] << 8u);
  if ((sum & 0xFFFFu) != checksum) return reply;
  reply.answered = true;
  Words words;
  for (std::size_t i = 10; i + 3 < bytes.size(); i += 2) words.push_back(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
  if ((bytes[8] & 0x80) != 0)
    reply.rejection = words.empty() ? 0 : words[0];
  else
    reply.words = std::move(words);
  return reply;
}

struct ServiceReply {
  bool answered = false;
  std::uint16_t word0 = 0;
  std::uint16_t count = 0;  // word 1: status plus results
  std::uint16_t status = 0;
  Words results;
};

// One request/answer over whatever road the test drives: the model itself or a line.
using Transport = std::function<std::optional<Bytes>(const Bytes& request)>;

class Client {
 public:
  explicit Client(Transport transport) : m_transport(std::move(transport)) {}

  std::optional<Bytes> Exchange(const Bytes& request) { return m_transport(request); }
  Reply Read(std::uint8_t table, std::uint8_t first, std::uint8_t count) {
    return ParseAnswer(Exchange(ReadRequest(table, first, count)));
  }
  Reply Write(std::uint8_t table, std::uint8_t first, const Words& words) {
    return ParseAnswer(Exchange(WriteRequest(table, first, words)));
  }

  // The request block to table 99, then the response block read back with room for
  // `results` result words.
  ServiceReply Service(std::uint8_t group, std::uint8_t number, const Words& arguments = {}, std::uint8_t results = 41) {
    Words block{static_cast<std::uint16_t>(group | (number << 8)), static_cast<std::uint16_t>(arguments.size())};
    block.insert(block.end(), arguments.begin(), arguments.end());
    ServiceReply reply;
    if (!Write(99, 0, block).Good()) return reply;
    const Reply response = Read(99, 0, static_cast<std::uint8_t>(results + 3));
    if (!response.Good()) return reply;
    reply.answered = true;
    reply.word0 = response.words[0];
    reply.count = response.words[1];
    reply.status = response.words[2];
    const std::size_t delivered = reply.count > 0 ? reply.count - 1u : 0u;
    for (std::size_t i = 0; i < delivered && 3 + i < response.words.size(); ++i) reply.results.push_back(response.words[3 + i]);
    return reply;
  }

  bool EnableWriting() { return Service(1, 1, {0x6E1B}, 0).status == 0; }

 private:
  Transport m_transport;
};

// Texts as the device packs them: `count` length bytes, then the texts one after another.
inline std::vector<std::string> UnpackTexts(const Words& words, std::size_t count) {
  Bytes bytes;
  for (const std::uint16_t word : words) {
    bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
  }
  std::vector<std::string> texts;
  std::size_t offset = count;
  for (std::size_t i = 0; i < count && i < bytes.size(); ++i) {
    const std::size_t length = bytes[i];
    if (offset + length > bytes.size()) break;
    texts.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.begin() + static_cast<std::ptrdiff_t>(offset + length));
    offset += length;
  }
  return texts;
}

}  // namespace simtest
