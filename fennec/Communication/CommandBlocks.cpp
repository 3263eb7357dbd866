#include "Communication/CommandBlocks.h"

#include <algorithm>
#include <memory>

#include "Common/ByteOrder.h"

namespace fennec::command {

void AppendWord(Block& block, std::uint16_t word) {
  std::uint8_t bytes[2] = {};
  StoreU16LE(bytes, word);
  block.insert(block.end(), bytes, bytes + 2);
}

Block RequestBlock(std::uint16_t code, std::initializer_list<std::uint16_t> words) {
  Block block;
  AppendWord(block, code);
  for (const std::uint16_t word : words) AppendWord(block, word);
  return block;
}

std::optional<std::uint16_t> Response::Word(std::size_t offset) const {
  if (offset + 2 > m_bytes.size()) return std::nullopt;
  return LoadU16LE(m_bytes.subspan(offset).first<2>());
}

std::optional<std::uint32_t> Response::DWord(std::size_t offset) const {
  if (offset + 4 > m_bytes.size()) return std::nullopt;
  return LoadU32LE(m_bytes.subspan(offset).first<4>());
}

std::optional<std::vector<std::uint16_t>> Response::Words(std::size_t offset, std::size_t count) const {
  if (offset > m_bytes.size() || count > (m_bytes.size() - offset) / 2) return std::nullopt;
  std::vector<std::uint16_t> words(count);
  for (std::size_t i = 0; i < count; ++i) words[i] = LoadU16LE(m_bytes.subspan(offset + 2 * i).first<2>());
  return words;
}

std::span<const std::uint8_t> Response::From(std::size_t offset) const {
  return offset < m_bytes.size() ? m_bytes.subspan(offset) : std::span<const std::uint8_t>();
}

void HandOverText(char** text, std::span<const std::uint8_t> bytes, std::size_t size) {
  auto buffer = std::make_unique<char[]>(size);  // zeroed
  std::copy_n(bytes.begin(), std::min(bytes.size(), size), buffer.get());
  delete[] *text;
  *text = buffer.release();
}

}  // namespace fennec::command
