#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "DeviceModel.h"
#include "FaultInjection.h"
#include "FramedEndpoint.h"
#include "Platform/PseudoTerminal.h"
#include "RandomFaults.h"
#include "TcpServer.h"

namespace fennec::sim {

struct SimulatorOptions {
  Profile profile;
  DeviceTimings timings;
  std::filesystem::path stateFile;  // empty: the memory lives in the process only
  unsigned baud = 0;                // 0: answers go out as fast as the pty takes them
  LineFaults lineFaults;
  RandomFaults randomFaults;
  ExtFaults extFaults;
  NetworkFaults networkFaults;
  std::size_t framedFragmentSize = kFragmentSize;  // a longer response is fetched in parts
  Rejections rejections;
  std::function<void(std::string_view)> log;  // one line per event, when set
  // A hang-up replaced the terminal: called with the new one before the old one goes.
  std::function<void(const std::string&)> lineReplaced;
};

// The device model served on a pseudo-terminal by a thread of its own: a client opens
// SlavePath() as its serial port. Fault injection and inspection are safe while it runs. A
// client that ends while it holds the port for itself (killed, say) locks out no later one:
// the exclusive flag it leaves on the terminal is cleared.
class SimulatedDevice {
 public:
  explicit SimulatedDevice(SimulatorOptions options);
  ~SimulatedDevice();
  SimulatedDevice(const SimulatedDevice&) = delete;
  SimulatedDevice& operator=(const SimulatedDevice&) = delete;

  // Creates the pseudo-terminal and starts serving; once per object. False, with the reason in
  // StartReport(), when no pseudo-terminal can be made or the memory file belongs to another
  // profile.
  bool Start();
  void Stop();

  // The terminal the device started on.
  const std::string& SlavePath() const { return m_slavePath; }
  // The terminal a client opens now: the one a hang-up made last, else SlavePath().
  std::string LinePath() const;

  // Also serves the framed protocol on 127.0.0.1:port (0 picks a free port), from the same
  // device as the terminal; once per object, after Start. 0 or the errno of the failure.
  int StartTcp(std::uint16_t port);
  // The port served, 0 before StartTcp.
  std::uint16_t TcpPort() const;
  // How the non-volatile memory was loaded, or why the start failed.
  const std::string& StartReport() const { return m_startReport; }

  // Fault injection, as the command-line options of the program: the counts strike the next
  // requests or answers; the cut comes after that many more exchanges (at least one).
  void DropNext(unsigned requests);
  void CorruptNextChecksums(unsigned answers);
  void WrongStartNext(unsigned answers);
  void EchoNext(unsigned answers);
  void SetAnswerDelay(std::chrono::milliseconds delay);
  void CutLineAfter(unsigned exchanges);
  // The power fails after that many more exchanges (at least one): the device restarts from
  // its non-volatile memory and is silent meanwhile.
  void ResetAfter(unsigned exchanges);
  // Faults at random from now on, from a generator seeded anew; a rate of 0 ends them.
  void SetRandomFaults(const RandomFaults& faults);
  // How often the random faults struck each kind so far.
  unsigned Struck(RandomFault kind) const;
  void RejectService(std::uint8_t group, std::uint8_t number, std::uint16_t status);
  void RejectRegisters(std::uint8_t table, unsigned first, unsigned last, std::uint16_t status);
  // The faults of the extended protocol's answers, replacing those set before.
  void SetExtFaults(const ExtFaults& faults);
  void ClearFaults();

  // Network faults, as the command-line options: the counts strike the next answers (or frames).
  void RepeatFragment(std::uint16_t fragment, std::uint16_t packet);
  void ErrorAbortNext(unsigned answers);
  void WrongIdentifierNext(unsigned answers);
  void WrongRequestNumberNext(unsigned answers);
  void OverstateLengthNext(unsigned answers);
  void CloseInsideRequestNext(unsigned requests);
  void SetNetworkDelay(std::chrono::milliseconds delay);

  // What the update mode holds now: the last upload and the save to flash.
  UpdateMemory UpdateState() const;

  bool LineCut() const { return m_lineCut; }
  unsigned Exchanges() const;
  // Bytes that have crossed the line so far, both ways: requests taken and answers sent.
  std::size_t BytesOnLine() const { return m_bytesOnLine; }

  // Runs inspect on the device's state as it is now, while the device waits.
  template <typename Inspect>
  auto InspectState(Inspect inspect) {
    std::lock_guard lock(m_mutex);
    return inspect(m_model.StateAt(Moment::Now()));
  }

 private:
  void ChangeFaults(const std::function<void(LineFaults&)>& change);
  void ChangeNetworkFaults(const std::function<void(NetworkFaults&)>& change);
  ServedFrame ServeFrame(FramedSession& session, Frame frame);
  void Run();
  bool Serve(const std::vector<std::uint8_t>& request, std::chrono::steady_clock::time_point firstByteAt);
  bool SendAnswer(const std::vector<std::uint8_t>& answer, const FaultDraw& strike,
                  std::chrono::steady_clock::time_point start);
  bool HangUp();
  bool SendPaced(const std::vector<std::uint8_t>& answer, std::chrono::steady_clock::time_point start);
  void WaitForClientToTakeEverything();
  bool WaitUntil(std::chrono::steady_clock::time_point when);
  void Log(const std::string& text) const;

  const unsigned m_baud;
  // The fragment size of the device's table 124: extended frames are told apart by it.
  const std::optional<std::size_t> m_extendedData;
  const std::function<void(std::string_view)> m_log;
  std::chrono::steady_clock::time_point m_startedAt;

  mutable std::mutex m_mutex;  // guards the model, the faults and the exchange count
  DeviceModel m_model;
  LineFaults m_faults;
  std::optional<RandomFaultSource> m_random;
  std::array<unsigned, kRandomFaultKinds.size() + 1> m_struck{};
  unsigned m_exchanges = 0;
  bool m_stopping = false;
  std::condition_variable m_wake;

  std::unique_ptr<platform::PseudoTerminal> m_pty;
  std::string m_slavePath;
  std::string m_linePath;  // guarded by the mutex: a hang-up changes it
  const std::function<void(const std::string&)> m_lineReplaced;
  unsigned m_hangUps = 0;  // the device thread's own
  std::string m_startReport;
  bool m_memoryUsable = true;
  std::atomic<bool> m_lineCut{false};
  std::atomic<std::size_t> m_bytesOnLine{0};
  std::thread m_thread;

  // The framed road, on the same model and under the same lock; the server goes first.
  FramedEndpoint m_framed;
  NetworkFaults m_networkFaults;
  std::unique_ptr<TcpServer> m_tcp;
};

}  // namespace fennec::sim
