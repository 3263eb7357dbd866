#include "RegisterTables.h"

#include <algorithm>

#include "DeviceStatus.h"

namespace fennec::sim {

std::size_t RegisterTables::Size(std::uint8_t table) const {
  const auto found = m_tables.find(table);
  return found == m_tables.end() ? 0 : found->second.size();
}

std::uint16_t RegisterTables::CheckRun(std::uint8_t table, unsigned first, unsigned count) const {
  const auto found = m_tables.find(table);
  if (found == m_tables.end()) return status::kInvalidTable;
  if (first + count > found->second.size()) return status::kAddressRange;
  return status::kOk;
}

std::span<const std::uint16_t> RegisterTables::Run(std::uint8_t table, unsigned first, unsigned count) const {
  return std::span<const std::uint16_t>(m_tables.at(table)).subspan(first, count);
}

void RegisterTables::Write(std::uint8_t table, unsigned first, std::span<const std::uint16_t> words) {
  TableImage& image = m_tables.at(table);
  std::copy(words.begin(), words.end(), image.begin() + first);
}

}  // namespace fennec::sim
