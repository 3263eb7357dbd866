#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DeviceModel.h"
#include "FaultInjection.h"
#include "FramedCommands.h"
#include "FramedFrame.h"
#include "Moment.h"

namespace fennec::sim {

// One client's exchange with the device on the framed road: the request whose fragments are
// arriving, and the response waiting to be fetched.
struct FramedSession {
  std::uint16_t identifier = 0;
  std::uint16_t requestNumber = 0;
  std::uint16_t total = 0;
  std::vector<std::vector<std::uint8_t>> fragments;
  std::size_t requestBytes = 0;
  std::uint16_t partsFor = 0;  // the request number the parts answer
  std::vector<std::vector<std::uint8_t>> parts;
};

// The device's end of the framed service protocol, transport-free, on the same device model as
// the register telegrams: each request fragment is acknowledged, the whole request runs as a
// command, and a response longer than one frame is announced (status 0x4000, the number of parts
// in its data bytes 4 and 5) and fetched part by part. Both protocol identifiers are served; a
// frame that fits no exchange is answered with an error abort. While the device restarts it
// answers nothing.
class FramedEndpoint {
 public:
  // A request larger than this is given up with an error abort.
  static constexpr std::size_t kMaxRequest = 16 * 1024 * 1024;

  // fragmentSize: the most data bytes the device puts into one frame of a response.
  explicit FramedEndpoint(DeviceModel& model, std::size_t fragmentSize = kFragmentSize)
      : m_model(model), m_fragmentSize(fragmentSize) {}

  struct Reply {
    std::optional<std::vector<std::uint8_t>> frame;  // nothing: no answer
    std::string note;
  };
  // The answer to one frame, with the frame faults applied. The frame's data is taken over.
  Reply Handle(FramedSession& session, Frame frame, NetworkFaults& faults, const Moment& now);

  const UpdateMemory& Update() const { return m_update; }

 private:
  Reply Answer(FramedSession& session, Frame& request, NetworkFaults& faults, const Moment& now);
  Reply Fetch(FramedSession& session, const Frame& request);
  Reply Complete(FramedSession& session, Frame answer, const Moment& now);

  DeviceModel& m_model;
  const std::size_t m_fragmentSize;
  UpdateMemory m_update;
};

}  // namespace fennec::sim
