#include "PairText.h"

#include <algorithm>

#include "Platform/TextCase.h"

namespace fennec::pairs {

std::vector<std::string> Tokens(std::string_view text, std::string_view separators) {
  std::vector<std::string> tokens;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of(separators), text.size());
    const std::string_view token = Trimmed(text.substr(0, end), " \t");
    if (!token.empty()) tokens.emplace_back(token);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return tokens;
}

std::string ValueOf(const std::vector<std::string>& tokens, std::string_view key) {
  const auto found = std::find(tokens.begin(), tokens.end(), key);
  if (found == tokens.end() || found + 1 == tokens.end()) return {};
  return *(found + 1);
}

}  // namespace fennec::pairs
