#include "cli/UploadProgress.h"

#include <algorithm>
#include <cstdio>

namespace lanterna::cli {

namespace {

constexpr unsigned kBarWidth = 40;

}  // namespace

std::string UploadBar(unsigned percent) {
  percent = std::min(percent, 100u);
  const unsigned marks = percent * kBarWidth / 100;
  char number[8];
  std::snprintf(number, sizeof number, "%3u%%", percent);
  return "upload [" + std::string(marks, '#') + std::string(kBarWidth - marks, ' ') + "] " + number;
}

void CUploadProgress::Show(unsigned percent) {
  percent = std::min(percent, 100u);
  if (percent <= m_shown && m_bDrawn) return;
  m_shown = percent;
  m_bDrawn = true;
  if (m_bTerminal)
    m_out << "\r" << UploadBar(percent);
  else
    m_out << "upload " << percent << "%\n";
  m_out.flush();
}

void CUploadProgress::Finish() {
  if (m_bTerminal && m_bDrawn) m_out << "\n";
  m_out.flush();
  m_bDrawn = false;
}

}  // namespace lanterna::cli
