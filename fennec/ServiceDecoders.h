#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ServiceTypes.h"

// Decoding of service results from the result bytes a device delivered (words little-endian).
// Every decoder checks the lengths the device gives against the bytes it delivered and either
// fills its output completely or leaves it untouched.
namespace fennec::service {

// Fills out with the first words of the result; false when fewer were delivered.
bool DecodeWords(std::span<const std::uint8_t> result, std::span<std::uint16_t> out);

// Appends every delivered word.
void AppendWords(std::span<const std::uint8_t> result, std::vector<std::uint16_t>& out);

// count length bytes, then the strings one after another, each exactly its length long.
std::optional<std::vector<std::string>> DecodeStrings(std::span<const std::uint8_t> result, std::size_t count);

// Word 0 is the number N of tables, words 1..N their descriptors; appended from word N down.
bool AppendTableInfo(std::span<const std::uint8_t> result, std::vector<tFBCTable>& out);

// Byte 0 is the number N of tables, words 1..N their descriptors; appended from word 1 up.
bool AppendTableList(std::span<const std::uint8_t> result, std::vector<tFBCTable>& out);

// Mantissa times ten to the power of the (unsigned) exponent.
double DecodeBaudrate(std::uint16_t mantissa, std::uint16_t exponent);

std::optional<tKBMonEntry> DecodeMonitorEntry(std::span<const std::uint8_t> result);

// Splits "name;value" into its parts; a bare value of the first variables gets its fixed name.
void ParseInternalVariable(std::uint16_t index, std::string_view text, std::string& name, std::string& value);
// Splits "name;value" into its parts; a bare value gets the name "Variable [<index>] not named".
void ParseInternalVariableOrUnnamed(std::uint16_t index, std::string_view text, std::string& name,
                                    std::string& value);

}  // namespace fennec::service
