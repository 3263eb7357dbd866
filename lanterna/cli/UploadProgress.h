#pragma once

#include <ostream>
#include <string>

namespace lanterna::cli {

// How far an upload is: on a terminal one bar redrawn in place, else a line "upload NN%" for
// each larger percent, so that a log shows it without control characters.
class CUploadProgress {
 public:
  CUploadProgress(std::ostream& out, bool terminal) : m_out(out), m_bTerminal(terminal) {}
  CUploadProgress(const CUploadProgress&) = delete;
  CUploadProgress& operator=(const CUploadProgress&) = delete;

  void Show(unsigned percent);
  // Ends the bar's line; nothing without a terminal.
  void Finish();

 private:
  std::ostream& m_out;
  const bool m_bTerminal;
  unsigned m_shown = 0;
  bool m_bDrawn = false;
};

// "upload [##########          ]  50%": forty marks for the whole.
std::string UploadBar(unsigned percent);

}  // namespace lanterna::cli
