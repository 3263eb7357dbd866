#pragma once

#include <QDialog>
#include <array>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/ActionView.h"
#include "app/ProgramSession.h"
#include "gui/PageHost.h"

class QLabel;
class QMenu;
class QPushButton;

namespace lanterna::ui {
class CBusyIndicator;
}

namespace lanterna::gui {

class CClockPage;
class CCommonPage;
class CCouplerSettingsPageBase;
class CPropSheetInDlg;

// The program's one window: action buttons, device line, the sheet with the device's pages,
// status line and busy indicator. Device actions run on the session's worker; its reports come
// to this window on the user-interface thread, and the worker waits for each.
class CLanternaDlg : public QDialog, public IActionView, public IPageHost {
  Q_OBJECT

 public:
  struct Options {
    bool topmost = false;
    bool hasCommandLineDevice = false;
    std::filesystem::path ttyClass = "/sys/class/tty";  // where the port dialog finds the ports
  };

  CLanternaDlg(CProgramSession& session, Options options, QWidget* parent = nullptr);
  // Answers no further report, and returns only once a running worker has ended: it uses the
  // connection, the service and the images until then.
  ~CLanternaDlg() override;

  // The action buttons' handlers; each is ignored while an action runs.
  void OnRead();
  void OnWrite();
  void OnRestart();
  void OnDefault();
  void OnExtract();
  void OnFormat();
  void OnPortSettings(bool saveSettings);
  void OnAbout();

  bool ActionRunning() const;
  CPropSheetInDlg* Sheet() const { return m_sheet; }
  CCouplerSettingsPageBase* Page(const std::string& section) const;
  // The status line's menu, nullptr while the log is empty or "Ready".
  QMenu* MakeStatusMenu();

  // IActionView
  void ShowReport(const ReportOutcome& outcome) override;
  void DeviceChanged(const std::string& text) override;
  void PollingTrace(const std::string& trace) override;

  // IPageHost
  void SettingsChanged(int flag) override;
  int IsModified() override;
  void RequestWrite() override { OnWrite(); }
  void RequestRead() override { OnRead(); }

 signals:
  // A device action has ended and the window shows its result.
  void ActionEnded(bool succeeded);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct ReportGate {
    std::atomic<bool> open{true};
  };

  void BuildControls();
  void BuildSheet();
  void OnFirstShow();
  bool StartAction(SessionAction action);
  void ConfirmAndStart(SessionAction action, const char* question);
  void OnActionEnded(bool succeeded);
  void FinishVisibleAction();
  void ShowDevicePages();
  void ReducePages();
  void RefreshFromData();
  void ShowStatusMenu(const QPoint& globalPos);
  QPushButton* AddButton(int id, const QString& caption, int icon, const QString& tipTitle, const QString& tipBody);

  CProgramSession& m_session;
  Options m_options;
  std::shared_ptr<ReportGate> m_gate = std::make_shared<ReportGate>();
  CServiceDeviceClock m_deviceClock;
  bool m_bFirstShown = false;
  std::optional<SessionAction> m_running;
  // The sheet's page before the action, restored after it when the device keeps that page there.
  int m_nActiveIndex = 0;
  std::string m_strActiveKey = "COMMON";

  QLabel* m_title = nullptr;
  QLabel* m_version = nullptr;
  QLabel* m_deviceLine = nullptr;
  QLabel* m_status = nullptr;
  ui::CBusyIndicator* m_busy = nullptr;
  CPropSheetInDlg* m_sheet = nullptr;
  QPushButton *m_exit = nullptr, *m_read = nullptr, *m_write = nullptr, *m_restart = nullptr,
              *m_default = nullptr, *m_extract = nullptr, *m_format = nullptr, *m_comPort = nullptr,
              *m_about = nullptr;
  std::vector<CCouplerSettingsPageBase*> m_pages;  // the ten, in the fixed order
  CCommonPage* m_common = nullptr;
  CClockPage* m_clock = nullptr;
};

}  // namespace lanterna::gui
