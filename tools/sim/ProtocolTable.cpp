#include "ProtocolTable.h"

#include <algorithm>
#include <vector>

#include "Platform/TextCase.h"
#include "NumberText.h"

namespace fennec::sim {

namespace {

constexpr std::uint16_t kTableBytes = 22;
constexpr std::size_t kTableSum = 1;
constexpr std::size_t kTargetBufSize = 3;
constexpr std::size_t kFragmentEnable = 4;
constexpr std::size_t kFragmentSize = 5;
constexpr std::size_t kVersion = 8;

std::uint16_t SumWithout(const TableImage& table, std::size_t skipped) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < table.size(); ++i)
    if (i != skipped) sum = static_cast<std::uint16_t>(sum + table[i]);
  return sum;
}

void SetTableSum(TableImage& table) { table[kTableSum] = static_cast<std::uint16_t>(0x10000 - SumWithout(table, kTableSum)); }

std::optional<std::size_t> WordNamed(std::string_view name) {
  for (std::size_t i = 0; i < kProtocolWordNames.size(); ++i)
    if (EqualNoCase(kProtocolWordNames[i], name)) return i;
  return std::nullopt;
}

}  // namespace

TableImage ProtocolTable(const ProtocolWords& words) {
  TableImage table{kTableBytes, 0, words.protocolId, words.targetBufSize, words.fragmentEnable, words.fragmentSize,
                   words.fragmentTimeout, words.regAccTimeout, words.version, 0, 0};
  SetTableSum(table);
  return table;
}

std::optional<std::string> RewriteProtocolWords(TableImage& table, std::string_view assignments) {
  if (table.size() != kProtocolWordNames.size()) return std::string("the table is not an eleven-word table 124");
  TableImage rewritten = table;
  bool sumNamed = false;
  while (!assignments.empty()) {
    const std::size_t comma = std::min(assignments.find(','), assignments.size());
    const std::string_view assignment = assignments.substr(0, comma);
    assignments.remove_prefix(std::min(comma + 1, assignments.size()));
    const std::size_t equals = assignment.find('=');
    const auto word = WordNamed(assignment.substr(0, equals));
    if (equals == std::string_view::npos || !word)
      return "'" + std::string(assignment) + "' is not NAME=VALUE with a word of table 124";
    const auto value = ParseNumber(assignment.substr(equals + 1), 0xFFFF);
    if (!value) return "the value of '" + std::string(assignment) + "' is not a number from 0 to 65535";
    rewritten[*word] = static_cast<std::uint16_t>(*value);
    sumNamed = sumNamed || *word == kTableSum;
  }
  if (!sumNamed) SetTableSum(rewritten);
  table = std::move(rewritten);
  return std::nullopt;
}

ExtendedLimits LimitsOf(std::span<const std::uint16_t> table) {
  if (table.size() <= kVersion) return {};
  return {table[kVersion] != 0, table[kFragmentSize], table[kTargetBufSize], table[kFragmentEnable] == 1};
}

}  // namespace fennec::sim
