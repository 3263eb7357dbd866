#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "RegisterTables.h"

namespace fennec::sim {

// Table 124, the device's description of the extended protocol: eleven words, named as the
// library's trace names them; TableSum makes the sum of all words 0.
inline constexpr std::array<std::string_view, 11> kProtocolWordNames{
    "TableByteSize", "TableSum",      "ProtocolID", "TargetBufSize", "FragmentEnable", "FragmentSize",
    "FragmentTimeout", "RegAccTimeout", "version",    "Reserve2",      "Reserve3"};

struct ProtocolWords {
  std::uint16_t protocolId = 0x0001;
  std::uint16_t targetBufSize = 512;  // bytes; 0: no limit
  std::uint16_t fragmentEnable = 1;   // 1: on
  std::uint16_t fragmentSize = 64;    // data bytes per fragment
  std::uint16_t fragmentTimeout = 500;
  std::uint16_t regAccTimeout = 1000;
  std::uint16_t version = 0;  // 0: the extended protocol is not offered
};

TableImage ProtocolTable(const ProtocolWords& words);

// Rewrites named words: "NAME=VALUE[,NAME=VALUE...]", names as above (any case), values
// decimal or 0x-hexadecimal. TableSum is worked out again unless it is named. The reason when
// the text cannot be taken; the table is then unchanged.
std::optional<std::string> RewriteProtocolWords(TableImage& table, std::string_view assignments);

// What the device's extended endpoint takes from its table 124.
struct ExtendedLimits {
  bool offered = false;  // version not 0
  std::size_t fragmentSize = 0;
  std::size_t targetBufSize = 0;
  bool fragmentEnable = false;
};
ExtendedLimits LimitsOf(std::span<const std::uint16_t> table);

}  // namespace fennec::sim
