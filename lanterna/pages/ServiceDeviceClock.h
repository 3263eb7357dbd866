#pragma once

#include "ServiceBase.h"
#include "pages/DeviceClock.h"

namespace lanterna {

// The device clock the Clock page works on, reached through the service object. The caller
// keeps the connection open while it is used.
class CServiceDeviceClock : public IDeviceClock {
 public:
  explicit CServiceDeviceClock(CServiceBase& service) : m_service(service) {}

  bool GetRealTimeClock(std::uint32_t& seconds, std::uint16_t& zoneWord) override {
    return m_service.GetRealTimeClock(seconds, zoneWord);
  }
  bool SetRealTimeClock(std::uint32_t seconds, std::uint16_t zoneWord) override {
    return m_service.SetRealTimeClock(seconds, zoneWord);
  }

 private:
  CServiceBase& m_service;
};

}  // namespace lanterna
