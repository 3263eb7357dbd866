#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "Common/OrlaException.h"
#include "Communication/ConnectionBase.h"
#include "Platform/LastError.h"

// An in-memory connection that plays the device: it replays queued answer bytes and records
// everything written. A read that asks for more than is queued fails like a silent line.
class ScriptedConnection : public ORLA::CConnectionBase {
 public:
  static constexpr std::uint32_t kTimeoutCode = 0x20010200;

  std::vector<unsigned char> written;
  std::deque<unsigned char> pending;
  int readCalls = 0;

  void Queue(const std::vector<unsigned char>& bytes) { pending.insert(pending.end(), bytes.begin(), bytes.end()); }

  void Open() override { m_bOpen = true; }
  void Close() override { m_bOpen = false; }
  bool IsOpen() override { return m_bOpen; }
  void ClearBuffer() override { pending.clear(); }

  void Write(unsigned char* buffer, unsigned int count, unsigned int* done) override {
    written.insert(written.end(), buffer, buffer + count);
    if (done != nullptr) *done = count;
  }

  void Read(unsigned char* buffer, unsigned int count, unsigned int* done) override {
    ++readCalls;
    if (pending.size() < count) {
      pending.clear();
      SetLastErrorCode(kTimeoutCode);
      fennec::platform::SetThreadLastError(kTimeoutCode);
      throw COrlaException("Read() failed!", 4);
    }
    std::copy_n(pending.begin(), count, buffer);
    pending.erase(pending.begin(), pending.begin() + count);
    if (done != nullptr) *done = count;
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

 private:
  bool m_bOpen = false;
};
