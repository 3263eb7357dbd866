#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace fennec::sim {

using TableImage = std::vector<std::uint16_t>;
using TableSet = std::map<std::uint8_t, TableImage>;

// The register tables of one device, register n of a table at index n.
class RegisterTables {
 public:
  void Define(std::uint8_t table, TableImage words) { m_tables[table] = std::move(words); }
  bool Has(std::uint8_t table) const { return m_tables.contains(table); }
  std::size_t Size(std::uint8_t table) const;

  // kOk when the run of registers lies inside an existing table, else the device's status.
  std::uint16_t CheckRun(std::uint8_t table, unsigned first, unsigned count) const;

  // Callers check the run first.
  std::span<const std::uint16_t> Run(std::uint8_t table, unsigned first, unsigned count) const;
  void Write(std::uint8_t table, unsigned first, std::span<const std::uint16_t> words);

  std::uint16_t Word(std::uint8_t table, unsigned reg) const { return m_tables.at(table).at(reg); }
  void SetWord(std::uint8_t table, unsigned reg, std::uint16_t value) { m_tables.at(table).at(reg) = value; }

  const TableSet& All() const { return m_tables; }

 private:
  TableSet m_tables;
};

}  // namespace fennec::sim
