#include "pages/NetworkPageModel.h"

#include <algorithm>

namespace lanterna {

namespace {

constexpr std::size_t kHostName = 25;
constexpr std::size_t kDomain = 41;
constexpr std::size_t kFieldWords = 16;

std::uint8_t ByteAt(std::span<const std::uint16_t> field, std::size_t index) {
  const std::uint16_t word = field[index / 2];
  return static_cast<std::uint8_t>(index % 2 == 0 ? word & 0xFF : word >> 8);
}

// Up to the first zero byte, and never past the field: a field without one gives all 32 bytes.
std::string ReadField(std::span<const std::uint16_t> table, std::size_t first) {
  const auto field = table.subspan(first, kFieldWords);
  std::string text;
  for (std::size_t i = 0; i < 2 * kFieldWords && ByteAt(field, i) != 0; ++i) text += static_cast<char>(ByteAt(field, i));
  return text;
}

// The text, cut to 31 characters, its terminating zero and zeros to the end of the field.
void WriteField(std::span<std::uint16_t> table, std::size_t first, const std::string& text) {
  const auto field = table.subspan(first, kFieldWords);
  std::fill(field.begin(), field.end(), 0);
  const std::size_t length = std::min(text.size(), CNetworkPageModel::kMaxLength);
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<std::uint16_t>(static_cast<std::uint8_t>(text[i]));
    field[i / 2] |= static_cast<std::uint16_t>(i % 2 == 0 ? byte : byte << 8);
  }
}

}  // namespace

CNetworkPageModel::CNetworkPageModel() : CCouplerSettingsPageModel("NETWORK") {
  AddParameter<CTextParameter>({"NETWORK.HostName", "Host Name", "100:25-40", "100:25-40"}, m_strHostName, kMaxLength);
  AddParameter<CTextParameter>({"NETWORK.Domain", "Domain", "100:41-56", "100:41-56"}, m_strDomain, kMaxLength);
}

std::size_t CNetworkPageModel::EthWordsNeeded() const { return kDomain + kFieldWords; }

void CNetworkPageModel::ReadSettings() {
  m_strHostName = ReadField(EthTable(), kHostName);
  m_strDomain = ReadField(EthTable(), kDomain);
}

void CNetworkPageModel::WriteSettings() {
  WriteField(EthTable(), kHostName, m_strHostName);
  WriteField(EthTable(), kDomain, m_strDomain);
}

}  // namespace lanterna
