#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Common/OrlaException.h"
#include "Communication/ConnectionBase.h"
#include "Platform/LastError.h"

// An in-memory connection that plays the device: it replays queued answer bytes and records
// everything written. A read that asks for more than is queued fails like a silent line.
// Answers may also be tied to requests: each Write releases the next queued reply (or asks the
// respond function), and a late reply only arrives once the next read has timed out.
class ScriptedConnection : public ORLA::CConnectionBase {
 public:
  static constexpr std::uint32_t kTimeoutCode = 0x20010200;

  using Bytes = std::vector<unsigned char>;
  struct Reply {
    Bytes bytes;
    bool late = false;
    std::function<Bytes(const Bytes& request)> build;  // when set, makes the bytes from the request
  };

  std::vector<unsigned char> written;
  std::vector<Bytes> writes;  // one entry per Write
  std::deque<unsigned char> pending;
  std::deque<Reply> replies;
  std::function<Bytes(const Bytes& request)> respond;
  bool echo = false;  // a half-duplex line hears its own request first
  int readCalls = 0;
  int clearCalls = 0;

  void Queue(const Bytes& bytes) { pending.insert(pending.end(), bytes.begin(), bytes.end()); }
  void QueueReply(Bytes bytes) { replies.push_back({std::move(bytes), false, {}}); }
  void QueueLateReply(Bytes bytes) { replies.push_back({std::move(bytes), true, {}}); }
  void QueueSilence() { replies.push_back({}); }
  // A reply made when its request is written, from that request.
  void QueueBuiltReply(std::function<Bytes(const Bytes& request)> build, bool late) {
    replies.push_back({{}, late, std::move(build)});
  }

  void Open() override { m_bOpen = true; }
  void Close() override { m_bOpen = false; }
  bool IsOpen() override { return m_bOpen; }
  void ClearBuffer() override {
    ++clearCalls;
    pending.clear();
  }

  void Write(unsigned char* buffer, unsigned int count, unsigned int* done) override {
    const Bytes request(buffer, buffer + count);
    written.insert(written.end(), request.begin(), request.end());
    writes.push_back(request);
    if (echo) Queue(request);
    if (respond) {
      Queue(respond(request));
    } else if (!replies.empty()) {
      Reply reply = std::move(replies.front());
      replies.pop_front();
      if (reply.build) reply.bytes = reply.build(request);
      if (reply.late)
        m_late = std::move(reply.bytes);
      else
        Queue(reply.bytes);
    }
    if (done != nullptr) *done = count;
  }

  void Read(unsigned char* buffer, unsigned int count, unsigned int* done) override {
    ++readCalls;
    if (pending.size() < count) {
      pending.clear();
      Queue(m_late);
      m_late.clear();
      Fail(kTimeoutCode);
    }
    std::copy_n(pending.begin(), count, buffer);
    pending.erase(pending.begin(), pending.begin() + count);
    if (done != nullptr) *done = count;
  }

  // Fails like a transport: the code is stored before the exception leaves.
  [[noreturn]] void Fail(std::uint32_t code) {
    SetLastErrorCode(code);
    fennec::platform::SetThreadLastError(code);
    throw COrlaException("Read() failed!", 4);
  }

  std::string GetType() override { return "SCRIPTED"; }
  std::string GetSettingsXML() override { return "<SCRIPTED/>"; }
  bool SetSettingsXML(std::string) override { return true; }
  std::string GetSettingsString() override { return "scripted"; }
  std::string GetSettingsValue(const char*) override { return "ERROR"; }
  std::string GetDriverInfo() override { return "1.0"; }
  bool LoadSettingsRegistry(std::string) override { return true; }
  bool SaveSettingsRegistry(std::string) override { return true; }
  bool LoadSettingsXML(std::string) override { return false; }
  bool SaveSettingsXML(std::string) override { return false; }
  void ApplyProbeTimeouts() override { m_bProbeTimeouts = true; }
  void RestoreTimeouts() override { m_bProbeTimeouts = false; }
  bool HasProbeTimeouts() const { return m_bProbeTimeouts; }

 private:
  bool m_bOpen = false;
  bool m_bProbeTimeouts = false;
  Bytes m_late;
};
