// The network road of SimulatedDevice: the framed endpoint served over TCP beside the terminal.
#include <cerrno>

#include "SimulatedDevice.h"

namespace fennec::sim {

int SimulatedDevice::StartTcp(std::uint16_t port) {
  if (m_tcp) return EALREADY;
  m_tcp = std::make_unique<TcpServer>(TcpServer::Device{
      [this](FramedSession& session, Frame frame) { return ServeFrame(session, std::move(frame)); },
      [this] {
        std::lock_guard lock(m_mutex);
        return m_model.Restarting(Moment::Now());
      },
      [this](const std::string& line) { Log(line); },
  });
  const int error = m_tcp->Start(port);
  if (error != 0) m_tcp.reset();
  return error;
}

std::uint16_t SimulatedDevice::TcpPort() const { return m_tcp ? m_tcp->Port() : 0; }

ServedFrame SimulatedDevice::ServeFrame(FramedSession& session, Frame frame) {
  ServedFrame served;
  FramedEndpoint::Reply reply;
  {
    std::lock_guard lock(m_mutex);
    served.delay = m_networkFaults.delay;
    if (CloseInsideRequest(m_networkFaults)) {
      served.close = true;
      return served;
    }
    const Moment now = Moment::Now();
    reply = m_framed.Handle(session, std::move(frame), m_networkFaults, now);
    served.deviceDown = m_model.Restarting(now);
  }
  if (m_log) {
    Log("tcp <- " + reply.note);
    if (reply.frame) Log("tcp -> " + std::to_string(reply.frame->size()) + " bytes");
  }
  served.answer = std::move(reply.frame);
  return served;
}

void SimulatedDevice::ChangeNetworkFaults(const std::function<void(NetworkFaults&)>& change) {
  std::lock_guard lock(m_mutex);
  change(m_networkFaults);
}

void SimulatedDevice::RepeatFragment(std::uint16_t fragment, std::uint16_t packet) {
  ChangeNetworkFaults([&](NetworkFaults& faults) { faults.repeat = NetworkFaults::Repeat{fragment, packet}; });
}

void SimulatedDevice::ErrorAbortNext(unsigned answers) {
  ChangeNetworkFaults([&](NetworkFaults& faults) { faults.errorAbortNext = answers; });
}

void SimulatedDevice::WrongIdentifierNext(unsigned answers) {
  ChangeNetworkFaults([&](NetworkFaults& faults) { faults.wrongIdentifierNext = answers; });
}

void SimulatedDevice::WrongRequestNumberNext(unsigned answers) {
  ChangeNetworkFaults([&](NetworkFaults& faults) { faults.wrongRequestNumberNext = answers; });
}

void SimulatedDevice::OverstateLengthNext(unsigned answers) {
  ChangeNetworkFaults([&](NetworkFaults& faults) { faults.overstateLengthNext = answers; });
}

void SimulatedDevice::CloseInsideRequestNext(unsigned requests) {
  ChangeNetworkFaults([&](NetworkFaults& faults) { faults.closeInsideRequestNext = requests; });
}

void SimulatedDevice::SetNetworkDelay(std::chrono::milliseconds delay) {
  ChangeNetworkFaults([&](NetworkFaults& faults) { faults.delay = delay; });
}

UpdateMemory SimulatedDevice::UpdateState() const {
  std::lock_guard lock(m_mutex);
  return m_framed.Update();
}

}  // namespace fennec::sim
