#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ScriptedConnection.h"

// The framed service protocol as the tests write it, by hand and apart from the library's codec,
// so that each side checks the other: an 18-byte header of little-endian words (identifier,
// request number, fragment, total, two reserved words, result, status, data length), then the
// data.
namespace framedtest {

using Bytes = std::vector<unsigned char>;

inline constexpr std::uint16_t kServiceId = 0x1279;
inline constexpr std::uint16_t kLegacyId = 0x1288;

struct Frame {
  std::uint16_t identifier = kServiceId;
  std::uint16_t requestNumber = 1;
  std::uint16_t fragment = 1;
  std::uint16_t total = 1;
  std::uint16_t result = 0;
  std::uint16_t status = 0;
  Bytes data;
  std::uint16_t lengthField = 0;  // written as is when not 0, else the data's length
};

inline void PutWord(Bytes& bytes, std::uint16_t word) {
  bytes.push_back(static_cast<unsigned char>(word & 0xFF));
  bytes.push_back(static_cast<unsigned char>(word >> 8));
}

inline std::uint16_t WordAt(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

inline Bytes Encode(const Frame& frame) {
  Bytes bytes;
  for (const std::uint16_t word : {frame.identifier, frame.requestNumber, frame.fragment, frame.total,
                                   std::uint16_t{0}, std::uint16_t{0}, frame.result, frame.status})
    PutWord(bytes, word);
  PutWord(bytes, frame.lengthField != 0 ? frame.lengthField : static_cast<std::uint16_t>(frame.data.size()));
  bytes.insert(bytes.end(), frame.data.begin(), frame.data.end());
  return bytes;
}

inline Frame Decode(const Bytes& bytes) {
  Frame frame{WordAt(bytes, 0), WordAt(bytes, 2), WordAt(bytes, 4), WordAt(bytes, 6), WordAt(bytes, 12),
              WordAt(bytes, 14), Bytes(bytes.begin() + 18, bytes.end()), WordAt(bytes, 16)};
  return frame;
}

// Words as the device APIs put them into a block: little-endian.
inline Bytes Words(std::initializer_list<std::uint16_t> words) {
  Bytes bytes;
  for (const std::uint16_t word : words) PutWord(bytes, word);
  return bytes;
}

// The data of a repeat request or a fetch announcement: the number in bytes 4 and 5.
inline Bytes Announcing(std::uint16_t number) { return Words({0, 0, number}); }

// A device on a scripted connection: each frame the library writes is decoded and handed to the
// script, whose frame (if any) goes back encoded.
using Script = std::function<std::optional<Frame>(const Frame& request)>;

inline void PlayDevice(ScriptedConnection& line, Script script) {
  line.respond = [script = std::move(script)](const Bytes& written) -> Bytes {
    const std::optional<Frame> answer = script(Decode(written));
    return answer ? Encode(*answer) : Bytes{};
  };
}

// The acknowledgement that accepts a request frame: its header with the data given.
inline Frame Accepting(const Frame& request, Bytes data = {}) {
  Frame answer = request;
  answer.data = std::move(data);
  answer.lengthField = 0;
  return answer;
}

// A device that answers every request with one response block: in the last acknowledgement when
// it fits, else announced and fetched in parts of at most `part` bytes.
inline Script Answering(Bytes response, std::size_t part = 1400) {
  return [response = std::move(response), part](const Frame& request) -> std::optional<Frame> {
    if ((request.status & 0x4000) != 0) {
      const std::size_t from = (request.fragment - 1u) * part;
      const std::size_t to = std::min(response.size(), from + part);
      return Accepting(request, Bytes(response.begin() + static_cast<std::ptrdiff_t>(from),
                                      response.begin() + static_cast<std::ptrdiff_t>(to)));
    }
    if (request.fragment < request.total) return Accepting(request);
    if (response.size() <= part) return Accepting(request, response);
    Frame announcement =
        Accepting(request, Announcing(static_cast<std::uint16_t>((response.size() + part - 1) / part)));
    announcement.status = 0x4000;
    return announcement;
  };
}

// A device that takes whole request blocks, however they were split into fragments, and answers
// each with the block its function gives, fetched in parts when it does not fit a fragment.
class BlockDevice {
 public:
  std::vector<Bytes> requests;
  std::vector<std::uint16_t> identifiers;  // of each request
  std::function<Bytes(const Bytes& block)> answer;

  // Every block is answered with this one.
  void AnswerAlways(Bytes response) {
    answer = [response = std::move(response)](const Bytes&) { return response; };
  }

  void PlayOn(ScriptedConnection& line) {
    PlayDevice(line, [this](const Frame& request) -> std::optional<Frame> {
      if ((request.status & 0x4000) != 0) return m_fetching(request);
      if (request.fragment == 1) m_block.clear();
      m_block.insert(m_block.end(), request.data.begin(), request.data.end());
      if (request.fragment < request.total) return Accepting(request);
      requests.push_back(m_block);
      identifiers.push_back(request.identifier);
      m_fetching = Answering(answer(m_block));
      return m_fetching(request);
    });
  }

 private:
  Bytes m_block;
  Script m_fetching;
};

}  // namespace framedtest
