#pragma once

#include <cstdint>

#include "ServiceBase.h"

namespace lanterna {

// The device's real-time clock as the Clock page reaches it through the service object:
// seconds since 1970-01-01 UTC and the time-zone word. A failing call leaves its code in the
// thread's last-error value. The caller keeps the connection open while it is used.
class CServiceDeviceClock {
 public:
  explicit CServiceDeviceClock(CServiceBase& service) : m_service(service) {}

  bool GetRealTimeClock(std::uint32_t& seconds, std::uint16_t& zoneWord) {
    return m_service.GetRealTimeClock(seconds, zoneWord);
  }
  bool SetRealTimeClock(std::uint32_t seconds, std::uint16_t zoneWord) {
    return m_service.SetRealTimeClock(seconds, zoneWord);
  }

 private:
  CServiceBase& m_service;
};

}  // namespace lanterna
