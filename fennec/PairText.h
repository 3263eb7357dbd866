#pragma once

#include <string>
#include <string_view>
#include <vector>

// The texts a device sends over TCP/IP as name=value pairs separated by ';'.
namespace fennec::pairs {

// Split at every one of the separators, each token trimmed of blanks at both ends, empty tokens
// dropped.
std::vector<std::string> Tokens(std::string_view text, std::string_view separators);

// The token after the first token equal to the key; empty when the key is missing or last.
std::string ValueOf(const std::vector<std::string>& tokens, std::string_view key);

}  // namespace fennec::pairs
