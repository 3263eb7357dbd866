#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace lanterna::cli {

// The last step of a running action with the seconds it has taken, redrawn in place every
// second on a terminal, so that a restart wait, the save polling, an extract or a format show
// that they live. The log lines go through it, so that they never mix with the line.
class CProgressLine {
 public:
  // Without a terminal it only passes the log lines on. On one the line is redrawn every tick.
  CProgressLine(std::ostream& out, bool terminal, std::chrono::milliseconds tick = std::chrono::seconds(1));
  ~CProgressLine();
  CProgressLine(const CProgressLine&) = delete;
  CProgressLine& operator=(const CProgressLine&) = delete;

  // One log line; the progress line follows it with the step it names.
  void LogLine(const std::string& line, std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());
  // Text that goes out as it is (messages), the progress line cleared first.
  void Write(const std::string& text);
  // The action has ended: the line goes until the next one.
  void Idle();
  // Draws the line for this moment; the ticker calls it every second.
  void Redraw(std::chrono::steady_clock::time_point now);

 private:
  void ClearLocked();
  void Tick();

  std::ostream& m_out;
  const bool m_bTerminal;
  const std::chrono::milliseconds m_tick;
  std::mutex m_mutex;
  std::condition_variable m_stop;
  bool m_bStopping = false;
  bool m_bShown = false;
  std::string m_strStep;
  std::chrono::steady_clock::time_point m_stepStarted;
  std::thread m_ticker;
};

// "    Saving parameters is in progress... (12 s)".
std::string ProgressText(const std::string& step, std::chrono::seconds elapsed);

}  // namespace lanterna::cli
