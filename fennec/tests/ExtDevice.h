#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "ExtFrameBytes.h"
#include "ProtDetection.h"
#include "SIOService.h"
#include "ScriptedConnection.h"
#include "TelegramBytes.h"

namespace ext_bytes {

// Table 124 as a device holds it; TableSum makes the sum of the eleven words 0.
inline Words Table124(std::uint16_t targetBufSize, std::uint16_t fragmentEnable, std::uint16_t fragmentSize,
                      std::uint16_t version = 1) {
  Words table{22, 0, 0x0001, targetBufSize, fragmentEnable, fragmentSize, 500, 1000, version, 0, 0};
  unsigned sum = 0;
  for (const std::uint16_t word : table) sum += word;
  table[1] = static_cast<std::uint16_t>(0x10000 - (sum & 0xFFFF));
  return table;
}

// A detection that has read the given table 124 from a device of its own.
class Detected {
 public:
  explicit Detected(const Words& table, CExtProtLogFile* log = nullptr) : service(&line), detection(&service, log) {
    line.Open();
    line.QueueReply(telegram_bytes::ReadAnswer(124, 0, {table.at(0)}));
    line.QueueReply(telegram_bytes::ReadAnswer(124, 0, table));
    result = detection.DetectProtokollType();
  }

  ScriptedConnection line;
  CSIOService service;
  CProtDetection detection;
  std::uint32_t result = 0;
};

// Plays the device side of the extended protocol on a ScriptedConnection: request fragments are
// acknowledged one by one, a complete message is answered with what the handler makes of it,
// split into fragments of the fragment size, the next one for each acknowledgement. A
// repeated request fragment is not taken twice. Every frame may be damaged on its way out.
class ExtDevice {
 public:
  using Handler = std::function<Bytes(unsigned char cmd, const Bytes& message)>;

  std::vector<Frame> received;  // every frame the library wrote
  std::vector<Bytes> messages;  // every complete request
  Handler handler = [](unsigned char, const Bytes& message) { return message; };
  std::function<void(Frame&)> damage;
  std::function<Bytes(Bytes)> wire;  // changes the frame's bytes on the line
  std::vector<Frame> sent;           // every frame the device sent, as sent
  std::set<unsigned> lostFrames;     // numbers (from 0) of frames lost on the line

  ExtDevice(ScriptedConnection& line, std::size_t fragmentSize) : m_fragmentSize(fragmentSize) {
    line.Open();
    line.respond = [this](const Bytes& written) { return Answer(written); };
  }

 private:
  Bytes Answer(const Bytes& written) {
    const Frame frame = Parse(written);
    received.push_back(frame);
    if (frame.cmd == 0) return Send(static_cast<std::uint16_t>(frame.Counter() + 1), frame.seqNr);
    if (frame.Counter() == 1 && m_lastCounter != 1) m_message.clear();
    if (frame.Counter() != m_lastCounter) m_message.insert(m_message.end(), frame.data.begin(), frame.data.end());
    m_lastCounter = frame.Counter();
    if (frame.More()) return Out(Confirmation(frame.Counter(), frame.seqNr));
    messages.push_back(m_message);
    m_cmd = frame.cmd;
    m_answer = handler(frame.cmd, m_message);
    m_lastCounter = 0;
    return Send(1, frame.seqNr);
  }

  Bytes Send(std::uint16_t counter, unsigned char seqNr) {
    const std::size_t offset = (counter - 1u) * m_fragmentSize;
    if (counter > 1 && offset >= m_answer.size()) return {};
    const std::size_t length = std::min(m_fragmentSize, m_answer.size() - offset);
    const bool more = offset + length < m_answer.size();
    Frame fragment{kProtId, static_cast<unsigned char>(m_cmd | 0x80),
                   static_cast<std::uint16_t>(counter | (more ? kMore : 0)), seqNr, 0,
                   Bytes(m_answer.begin() + static_cast<std::ptrdiff_t>(offset),
                         m_answer.begin() + static_cast<std::ptrdiff_t>(offset + length))};
    return Out(std::move(fragment));
  }

  Bytes Out(Frame frame) {
    if (damage) damage(frame);
    if (lostFrames.count(m_frames++) != 0) return {};
    sent.push_back(frame);
    return wire ? wire(DeviceFrame(frame)) : DeviceFrame(frame);
  }

  std::size_t m_fragmentSize;
  unsigned m_frames = 0;
  Bytes m_message;
  std::uint16_t m_lastCounter = 0;
  unsigned char m_cmd = 0;
  Bytes m_answer;
};

// What a register message asks for, read back from its header.
struct RegisterRequest {
  std::uint16_t usLen, klNr, tabNr, regNr, regCnt, err;
  Words words;  // of a write
};

inline RegisterRequest ParseRegisterRequest(const Bytes& message) {
  RegisterRequest request{WordAt(message, 0), WordAt(message, 2), WordAt(message, 4),
                          WordAt(message, 6), WordAt(message, 8), WordAt(message, 10), {}};
  for (std::size_t i = 12; i + 1 < message.size(); i += 2) request.words.push_back(WordAt(message, i));
  return request;
}

// Registers whose value is their number plus 0x1000; writes are taken and forgotten.
inline Bytes NumberedRegisters(unsigned char cmd, const Bytes& message) {
  const RegisterRequest request = ParseRegisterRequest(message);
  if (cmd == 2) return Message({12, request.klNr, request.tabNr, request.regNr, request.regCnt, 0});
  Words words;
  for (unsigned i = 0; i < request.regCnt; ++i) words.push_back(static_cast<std::uint16_t>(0x1000 + request.regNr + i));
  return Message({static_cast<std::uint16_t>(12 + 2 * request.regCnt), request.klNr, request.tabNr, request.regNr,
                  request.regCnt, 0},
                 LittleEndian(words));
}

}  // namespace ext_bytes
