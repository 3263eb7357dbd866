// How long the library takes to read a device completely, against the time the same bytes need
// on a serial line, and how much processor time the library spends per register exchange.
//
// The device is the simulator on a pseudo-terminal in this process. Paced, it answers no
// faster than a line at 19200 baud would carry its bytes (and starts only after the request's
// own time on the line); unpaced, it answers at once, which leaves the library's own cost.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "Communication/RS232Connection.h"
#include "LinePacing.h"
#include "Platform/CpuTime.h"
#include "SIOService.h"
#include "SimulatedDevice.h"
#include "WholeDeviceRead.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;
using Microseconds = std::chrono::duration<double, std::micro>;

constexpr unsigned kBaud = 19200;
constexpr int kPacedReads = 3;
constexpr int kUnpacedReads = 200;

// The simulated fbc32 coupler on its terminal with the library's service object opened on it.
class Bench {
 public:
  explicit Bench(unsigned baud) {
    fennec::sim::SimulatorOptions options;
    options.profile = *fennec::sim::FindProfile("fbc32");
    options.baud = baud;
    m_device = std::make_unique<fennec::sim::SimulatedDevice>(std::move(options));
    if (!m_device->Start()) throw std::runtime_error(m_device->StartReport());
    if (!m_connection.SetSettingsXML("<RS232 device='" + m_device->SlavePath() + "' timeout='1000'/>"))
      throw std::runtime_error("the connection refused its settings");
    m_connection.Open();
    m_service = std::make_unique<CSIOService>(&m_connection);
  }

  // One complete read; false, with the reason printed, when it did not complete.
  bool ReadDevice() {
    const fennec::client::WholeDeviceRead read = fennec::client::ReadWholeDevice(*m_service);
    if (!read.Complete())
      std::fprintf(stderr, "read_device: %s failed with 0x%08X\n", read.failedStep.c_str(), read.failure);
    return read.Complete();
  }

  unsigned Exchanges() const { return m_device->Exchanges(); }
  std::size_t BytesOnLine() const { return m_device->BytesOnLine(); }

 private:
  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  ORLA::CRS232Connection m_connection;
  std::unique_ptr<CSIOService> m_service;
};

bool Paced() {
  Bench bench(kBaud);
  const auto start = Clock::now();
  for (int i = 0; i < kPacedReads; ++i)
    if (!bench.ReadDevice()) return false;
  const Milliseconds measured = (Clock::now() - start) / kPacedReads;
  const std::size_t bytes = bench.BytesOnLine() / kPacedReads;
  const Milliseconds bound = fennec::sim::WireTime(bytes, kBaud);
  std::printf("Paced at %u baud (8E1, %u bits per byte), mean of %d complete reads:\n", kBaud,
              fennec::sim::kBitsPerByte, kPacedReads);
  std::printf("  register exchanges per read  %u\n", bench.Exchanges() / kPacedReads);
  std::printf("  bytes on the line per read   %zu (requests and answers)\n", bytes);
  std::printf("  measured                     %.1f ms\n", measured.count());
  std::printf("  wire-time lower bound        %.1f ms\n", bound.count());
  std::printf("  ratio                        %.3f\n", measured / bound);
  return true;
}

bool Unpaced() {
  Bench bench(0);
  // The first read pays for loading and first touches; it is not counted.
  if (!bench.ReadDevice()) return false;
  const unsigned warmUp = bench.Exchanges();
  const auto thread = fennec::platform::ThreadCpuTime();
  const auto process = fennec::platform::ProcessCpuTime();
  const auto start = Clock::now();
  for (int i = 0; i < kUnpacedReads; ++i)
    if (!bench.ReadDevice()) return false;
  const Milliseconds elapsed = Clock::now() - start;
  const double exchanges = bench.Exchanges() - warmUp;
  const Microseconds library = fennec::platform::ThreadCpuTime() - thread;
  const Microseconds both = fennec::platform::ProcessCpuTime() - process;
  std::printf("Unpaced, %d complete reads, %.0f register exchanges in %.1f ms:\n", kUnpacedReads, exchanges,
              elapsed.count());
  std::printf("  CPU per register exchange    %.1f us library (calling thread), %.1f us with the simulator\n",
              library.count() / exchanges, both.count() / exchanges);
  return true;
}

}  // namespace

int main() {
  try {
    return Paced() && Unpaced() ? 0 : 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "read_device: %s\n", failure.what());
  } catch (const COrlaException& failure) {
    std::fprintf(stderr, "read_device: %s\n", failure.m_szText);
  }
  return 1;
}
