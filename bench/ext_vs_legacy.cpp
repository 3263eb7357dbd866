// How long a long register read takes over the extended protocol and over the register
// telegrams, each against the time its own bytes need on a serial line.
//
// The device is the simulated fbcext coupler on a pseudo-terminal in this process, answering
// no faster than a line at 19200 baud would carry its bytes. 256 registers of table 110 are
// read through CSIORegComm (six telegrams of at most 44 words) and through CExtRegComm in one
// message (fragments of 64 and of 100 bytes, each acknowledged); 300 registers, beyond the
// telegrams' reach, through CExtRegComm alone.
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Communication/RS232Connection.h"
#include "ExtProtokoll.h"
#include "ExtRegComm.h"
#include "LinePacing.h"
#include "ProtDetection.h"
#include "ProtocolTable.h"
#include "SIORegComm.h"
#include "SIOService.h"
#include "SimulatedDevice.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr unsigned kBaud = 19200;
constexpr int kReads = 3;
constexpr unsigned kTable = 110;

std::vector<std::uint16_t> Factory(unsigned count) {
  std::vector<std::uint16_t> words(count);
  for (unsigned i = 0; i < count; ++i) words[i] = static_cast<std::uint16_t>(0x5A00 + i);
  return words;
}

// The fbcext coupler with the given words of table 124 rewritten, its line opened, the
// extended protocol detected on it.
class Bench {
 public:
  explicit Bench(const std::string& table124) {
    fennec::sim::SimulatorOptions options;
    options.profile = *fennec::sim::FindProfile("fbcext");
    if (auto problem = fennec::sim::RewriteProtocolWords(options.profile.deviceTables.at(124), table124))
      throw std::runtime_error(*problem);
    options.baud = kBaud;
    m_device = std::make_unique<fennec::sim::SimulatedDevice>(std::move(options));
    if (!m_device->Start()) throw std::runtime_error(m_device->StartReport());
    if (!m_connection.SetSettingsXML("<RS232 device='" + m_device->SlavePath() + "' timeout='1000'/>"))
      throw std::runtime_error("the connection refused its settings");
    m_connection.Open();
    m_legacy = std::make_unique<CSIORegComm>(&m_connection);
    m_service = std::make_unique<CSIOService>(&m_connection);
    m_detection = std::make_unique<CProtDetection>(m_service.get(), nullptr);
    if (m_detection->DetectProtokollType() != 0 || !m_detection->IsExtProtSupported())
      throw std::runtime_error("the extended protocol was not detected");
    m_protokoll = std::make_unique<CExtProtokoll>(&m_connection, m_detection.get(), nullptr);
    m_extended = std::make_unique<CExtRegComm>(m_protokoll.get());
  }

  CRegCommBase& Legacy() { return *m_legacy; }
  CRegCommBase& Extended() { return *m_extended; }

  // The mean of a few reads of `count` registers from register 0, paced, with the bytes they
  // put on the line. False, with the reason printed, when a read failed or brought wrong words.
  bool Measure(const char* what, CRegCommBase& regComm, unsigned count) {
    const std::size_t before = m_device->BytesOnLine();
    const auto start = Clock::now();
    for (int i = 0; i < kReads; ++i) {
      std::vector<std::uint16_t> words(count, 0);
      if (!regComm.ReadRegister(0, kTable, 0, count, words.data()) || words != Factory(count)) {
        std::fprintf(stderr, "ext_vs_legacy: %s failed\n", what);
        return false;
      }
    }
    const Milliseconds measured = (Clock::now() - start) / kReads;
    const std::size_t bytes = (m_device->BytesOnLine() - before) / kReads;
    const Milliseconds bound = fennec::sim::WireTime(bytes, kBaud);
    std::printf("  %-38s %5zu bytes  %7.1f ms  %7.1f ms  %.3f\n", what, bytes, measured.count(), bound.count(),
                measured / bound);
    return true;
  }

 private:
  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  ORLA::CRS232Connection m_connection;
  std::unique_ptr<CSIORegComm> m_legacy;
  std::unique_ptr<CSIOService> m_service;
  std::unique_ptr<CProtDetection> m_detection;
  std::unique_ptr<CExtProtokoll> m_protokoll;
  std::unique_ptr<CExtRegComm> m_extended;
};

bool Run() {
  std::printf("Registers of table 110 of a simulated fbcext coupler, paced at %u baud (8E1, %u bits per byte),\n"
              "mean of %d reads; the bound is the bytes on the line (requests, answers, acknowledgements)\n"
              "at that speed:\n",
              kBaud, fennec::sim::kBitsPerByte, kReads);
  std::printf("  %-38s %11s  %10s  %10s  %s\n", "", "on the line", "measured", "bound", "ratio");
  Bench fragments64("FragmentSize=64");
  Bench fragments100("FragmentSize=100");
  return fragments64.Measure("256 registers, telegrams of 44 words", fragments64.Legacy(), 256) &&
         fragments64.Measure("256 registers, extended, 64 bytes", fragments64.Extended(), 256) &&
         fragments100.Measure("256 registers, extended, 100 bytes", fragments100.Extended(), 256) &&
         fragments64.Measure("300 registers, extended, 64 bytes", fragments64.Extended(), 300);
}

}  // namespace

int main() {
  try {
    return Run() ? 0 : 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "ext_vs_legacy: %s\n", failure.what());
  } catch (const COrlaException& failure) {
    std::fprintf(stderr, "ext_vs_legacy: %s\n", failure.m_szText);
  }
  return 1;
}
