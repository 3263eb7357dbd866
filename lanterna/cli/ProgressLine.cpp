#include "cli/ProgressLine.h"

namespace lanterna::cli {

namespace {

constexpr const char* kClearLine = "\r\033[K";

}  // namespace

std::string ProgressText(const std::string& step, std::chrono::seconds elapsed) {
  return step + " (" + std::to_string(elapsed.count()) + " s)";
}

CProgressLine::CProgressLine(std::ostream& out, bool terminal, std::chrono::milliseconds tick)
    : m_out(out), m_bTerminal(terminal), m_tick(tick) {
  if (m_bTerminal) m_ticker = std::thread([this] { Tick(); });
}

CProgressLine::~CProgressLine() {
  {
    const std::lock_guard lock(m_mutex);
    m_bStopping = true;
    ClearLocked();
    m_out.flush();
  }
  m_stop.notify_all();
  if (m_ticker.joinable()) m_ticker.join();
}

void CProgressLine::LogLine(const std::string& line, std::chrono::steady_clock::time_point now) {
  const std::lock_guard lock(m_mutex);
  ClearLocked();
  m_out << line << '\n';
  m_out.flush();
  m_strStep = line;
  m_stepStarted = now;
}

void CProgressLine::Write(const std::string& text) {
  const std::lock_guard lock(m_mutex);
  ClearLocked();
  m_out << text;
  m_out.flush();
}

void CProgressLine::Idle() {
  const std::lock_guard lock(m_mutex);
  ClearLocked();
  m_out.flush();
  m_strStep.clear();
}

void CProgressLine::Redraw(std::chrono::steady_clock::time_point now) {
  const std::lock_guard lock(m_mutex);
  if (!m_bTerminal || m_strStep.empty()) return;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - m_stepStarted);
  if (elapsed.count() < 1) return;
  m_out << kClearLine << ProgressText(m_strStep, elapsed);
  m_out.flush();
  m_bShown = true;
}

void CProgressLine::ClearLocked() {
  if (!m_bShown) return;
  m_out << kClearLine;
  m_bShown = false;
}

void CProgressLine::Tick() {
  std::unique_lock lock(m_mutex);
  while (!m_stop.wait_for(lock, m_tick, [this] { return m_bStopping; })) {
    lock.unlock();
    Redraw(std::chrono::steady_clock::now());
    lock.lock();
  }
}

}  // namespace lanterna::cli
