#pragma once

#include <memory>
#include <string>

#include "app/ProgramSession.h"
#include "cli/Arguments.h"
#include "cli/ConnectionChoice.h"
#include "cli/FrontEnd.h"
#include "cli/JsonOutput.h"

namespace lanterna::cli {

class CSimulatorHost;

// The INI file the command uses: --ini, else the program's own (next to it, or named by the
// registry's AppExe). Throws CBadInput when a file named by --ini is missing or one cannot be
// read.
CIniFile LoadIniFile(const CliOptions& options);



// The program session of a command that talks to a device, with the connection --connection
// names (the stored port, a serial device, or the simulator started here), printing as it runs.
class CDeviceSession {
 public:
  // Throws CBadInput for a bad --connection or --ini.
  explicit CDeviceSession(const CliOptions& options);
  ~CDeviceSession();
  CDeviceSession(const CDeviceSession&) = delete;
  CDeviceSession& operator=(const CDeviceSession&) = delete;

  CProgramSession& Program() { return *m_program; }
  const CProgramSession& Program() const { return *m_program; }
  CDialogData& Data() { return m_program->Data(); }
  CSettingsPages& Pages() { return m_program->Pages(); }
  // Which port the command uses and where that choice came from.
  const std::string& Port() const { return m_strPort; }

  // One device action with its waiting text first, its log as it comes and, after it, the pages
  // whose values a short table left out.
  bool Run(SessionAction action);

  // How the last action failed, or a direct call with the calling thread's last error code.
  CliFailure ActionFailure() const;
  // details: the request's table, register and service where the caller knows them.
  CliFailure DirectFailure(const std::string& failureText, CatalogueDetails details = {}) const;

 private:
  CDeviceSession(const CliOptions& options, const ConnectionChoice& choice, CIniFile ini);

  std::unique_ptr<CSimulatorHost> m_simulator;  // outlives the session, which closes its port
  std::unique_ptr<CProgramSession> m_program;
  CProgressLine m_progress;
  CCliFrontEnd m_frontEnd;
  std::string m_strPort;
  std::string m_strIniPath;
};

}  // namespace lanterna::cli
