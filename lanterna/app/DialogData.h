#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Actions.h"
#include "base/DevicePages.h"
#include "base/Identification.h"
#include "base/IniFile.h"

namespace lanterna {

// Which action buttons a front end offers.
struct ActionButtons {
  bool exit = false, read = false, write = false, restart = false, defaults = false, extract = false,
       format = false, comPort = false;
  bool operator==(const ActionButtons&) const = default;
};

// What a front end does after a report: the line it logged, and, once the visible action has
// ended, the page state to show and whether the device's pages are shown or only the first.
struct ReportOutcome {
  std::string logLine;
  bool actionEnded = false;
  bool success = false;
  std::string pageStateText;          // for the active page when the action ended without success
  std::vector<std::string> messages;  // message boxes to show, in order
  std::string failureText;            // once a visible action failed: one line saying why
  std::uint32_t failureCode = 0;      // the library's error code of the failure; 0: none
  std::optional<Action> failedStep;   // the step whose failure ended the action, where a step failed
  std::string clockState;             // at an action's end: what the identification said of the clock
};


// The main dialog's data and the handling that is not drawing: identification, table images,
// device kind, pages, busy and modified flags, the log. Front ends own one and feed it the worker
// reports on their user-interface thread.
class CDialogData {
 public:
  static constexpr const char* kTitle = "ORLA Lanterna";
  static constexpr const char* kProductVersion = "4.5";

  CDialogData(const CIniFile& ini, bool hasCommandLineDevice);

  // Log and status line.
  void AddLog(const std::string& text);
  const std::vector<std::string>& LogLines() const { return m_log; }
  // The log as the status line's copy and save give it: lines joined by CR LF.
  std::string LogText() const;
  const std::string& StatusLine() const { return m_strStatus; }
  void ClearLog();  // the status-line menu's Delete: empties the log, then logs "Ready"

  // Busy flag: one action at a time.
  bool IsBusy() const { return m_bBusy; }
  // Starts an action unless one runs; Read clears what the last identification left.
  bool BeginAction(int action);

  // Modified flag and the window title that shows it.
  void SetModified(std::uint32_t flag);
  std::uint32_t IsModified() const { return m_nModified; }
  const std::string& Title() const { return m_strTitle; }

  ReportOutcome OnThreadState(const ThreadState& state);
  ReportOutcome OnDone(DoneKind kind, bool success, std::unique_ptr<tIdentification> record,
                       std::uint32_t failureCode = 0);
  // The device-independent part of an identification record; the verdict's messages go to the
  // front end.
  bool ApplyIdentification(const tIdentification& record, std::vector<std::string>& messages);

  const tIdentification& Identification() const { return m_identification; }  // texts and clock flag
  const std::string& DeviceLine() const { return m_strDeviceLine; }
  std::uint32_t Is32() const { return m_nIs32; }
  std::uint32_t IsPFC() const { return m_nIsPFC; }
  std::vector<std::uint16_t>& Table0() { return m_table0; }
  std::vector<std::uint16_t>& Table100() { return m_table100; }
  const std::vector<std::string>& DevicePageKeys() const { return m_deviceKeys; }
  const std::vector<std::string>& ShownPageKeys() const { return m_shownKeys; }
  tDevicePages DevicePages() const { return {m_shownKeys, m_nIs32 != 0, m_nIsPFC != 0}; }
  std::size_t ActivePageIndex() const { return m_nActivePage; }
  const ActionButtons& Buttons() const { return m_buttons; }

 private:
  void EnableAll(bool enable);
  void EnableAfterFailure();
  void ReduceToFirstPage();
  void ClearIdentification();

  const CIniFile& m_ini;
  bool m_bCommandLineDevice;
  std::vector<std::string> m_log;
  std::string m_strStatus;
  bool m_bBusy = false;
  std::uint32_t m_nModified = 0;
  std::string m_strTitle = kTitle;
  std::string m_strDeviceLine;
  tIdentification m_identification;
  std::uint32_t m_nIs32 = 0;
  std::uint32_t m_nIsPFC = 0;
  std::vector<std::uint16_t> m_table0;
  std::vector<std::uint16_t> m_table100;
  std::vector<std::string> m_deviceKeys = {"COMMON"};
  std::vector<std::string> m_shownKeys = {"COMMON"};
  std::size_t m_nActivePage = 0;
  ActionButtons m_buttons;
};

}  // namespace lanterna
