#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ScriptedConnection.h"
#include "TelegramBytes.h"

// Plays the service table of a coupler on a ScriptedConnection: it records every request block
// written to table 99 and answers each read of it with the next queued response block. Other
// tables, and table 99 once no response is queued, answer register reads as far as they have
// registers, as an old coupler does.
class ServiceDevice {
 public:
  using Words = std::vector<std::uint16_t>;

  std::vector<Words> requests;        // request blocks, as written
  std::map<unsigned, unsigned> tables;  // table -> register count, for the other tables
  std::set<unsigned> silentTables;      // reads of these get no answer at all
  int responseReads = 0;

  explicit ServiceDevice(ScriptedConnection& line) {
    line.Open();
    line.respond = [this](const telegram_bytes::Bytes& request) { return Answer(request); };
  }

  // The next response block: status and result words.
  void Respond(std::uint16_t status, const Words& results = {}) {
    Words block{0x0000, static_cast<std::uint16_t>(results.size() + 1), status};
    block.insert(block.end(), results.begin(), results.end());
    RespondWithBlock(block);
  }
  void RespondWithBlock(const Words& block) { m_responses.push_back({block, 0}); }
  // The next read of the response is refused with the device's code.
  void RefuseRead(std::uint16_t code) { m_responses.push_back({{}, code}); }

  // Strings as the device puts them in a result area: the lengths, then the characters.
  static Words StringResult(const std::vector<std::string>& strings) {
    std::vector<unsigned char> bytes;
    for (const std::string& text : strings) bytes.push_back(static_cast<unsigned char>(text.size()));
    for (const std::string& text : strings) bytes.insert(bytes.end(), text.begin(), text.end());
    if (bytes.size() % 2 != 0) bytes.push_back(0);
    Words words;
    for (std::size_t i = 0; i < bytes.size(); i += 2) words.push_back(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return words;
  }

 private:
  struct Response {
    Words block;
    std::uint16_t refusal;
  };

  telegram_bytes::Bytes Answer(const telegram_bytes::Bytes& bytes) {
    const telegram_bytes::Request request = telegram_bytes::Parse(bytes);
    if (request.table == 99 && (request.write || !m_responses.empty())) return ServiceTable(request);
    return RegisterTable(request);
  }

  telegram_bytes::Bytes RegisterTable(const telegram_bytes::Request& request) {
    using namespace telegram_bytes;
    if (silentTables.count(request.table) != 0) return {};
    if (tables.count(request.table) == 0) return Rejection(request.table, request.firstReg, 0x8200);
    const unsigned registers = tables[request.table];
    if (registers == 0) return Rejection(request.table, request.firstReg, 0x8215);
    if (request.firstReg + request.count > registers) return Rejection(request.table, request.firstReg, 0x8201);
    return ReadAnswer(request.table, request.firstReg, Words(request.count, 0));
  }

  telegram_bytes::Bytes ServiceTable(const telegram_bytes::Request& request) {
    using namespace telegram_bytes;
    if (request.write) {
      requests.push_back(request.words);
      return WriteAnswer(99, request.firstReg, request.count);
    }
    ++responseReads;
    Response response = m_responses.front();
    m_responses.pop_front();
    if (response.refusal != 0) return Rejection(99, request.firstReg, response.refusal);
    response.block.resize(request.count);
    return ReadAnswer(99, request.firstReg, response.block);
  }

  std::deque<Response> m_responses;
};
