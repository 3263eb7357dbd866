#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

// The request and response blocks of the device APIs: little-endian 16-bit words, 32-bit values
// as two words, low word first. A response is read only where it has bytes.
namespace fennec::command {

using Block = std::vector<std::uint8_t>;

// The command code, then the words.
Block RequestBlock(std::uint16_t code, std::initializer_list<std::uint16_t> words);
void AppendWord(Block& block, std::uint16_t word);

class Response {
 public:
  explicit Response(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

  std::size_t Size() const { return m_bytes.size(); }
  std::optional<std::uint16_t> Word(std::size_t offset) const;
  std::optional<std::uint32_t> DWord(std::size_t offset) const;
  // count words from offset, or nothing when the response ends before.
  std::optional<std::vector<std::uint16_t>> Words(std::size_t offset, std::size_t count) const;
  // The bytes from offset on (none when the response is shorter).
  std::span<const std::uint8_t> From(std::size_t offset) const;

 private:
  std::span<const std::uint8_t> m_bytes;
};

// A text handed to the caller: a new buffer of `size` bytes (released with delete[]) holding the
// text bytes and zeros after them, in place of the caller's old buffer, which is released.
void HandOverText(char** text, std::span<const std::uint8_t> bytes, std::size_t size);

}  // namespace fennec::command
