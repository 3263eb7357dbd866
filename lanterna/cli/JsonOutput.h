#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace lanterna::cli {

using Json = nlohmann::ordered_json;

// What the catalogue inserts into its explanation of a code: the port, the request's table and
// first register, the failed service's name.
struct CatalogueDetails {
  std::string portName;
  std::int32_t table = 0;
  std::int32_t registerNumber = 0;
  std::string serviceName;
};

// Why a command failed: the line that says what failed, the library's error code (0: none),
// and what the connection adds for a technician.
struct CliFailure {
  std::string text;
  std::uint32_t code = 0;
  std::string advice;
  std::string port;  // which port, and where that choice came from; empty without a port
  CatalogueDetails details = {};
};

// With --json every command prints exactly one object on standard output. On success it has
// "ok": true first, then what the command gives.
void PrintJsonSuccess(const Json& body);

// On failure: {"ok": false, "exit": N, "error": {"code", "title", "text", "advice"}}, then
// what was read before the failure. code is the hexadecimal code or null, title the failed
// step, text the catalogue's text for the code (else the message), advice the connection's
// advice, else the catalogue's explanation. "port" follows where the failure had a port.
void PrintJsonFailure(int exitStatus, const CliFailure& failure, const Json& partial = Json::object());

}  // namespace lanterna::cli
