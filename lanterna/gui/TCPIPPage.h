#pragma once

#include "gui/PageBase.h"
#include "pages/TCPIPPageModel.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace lanterna::gui {

// How the device gets its IP address and its fixed addresses; the full layout for the 32-bit
// generation, a single BootP switch with the identification's addresses for older devices.
class CTCPIPPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CTCPIPPage(CTCPIPPageModel& model, IPageHost& host, QWidget* parent = nullptr);

  void CallWebBasedManagement();

 protected:
  void ShowControls(int nCmdShow) override;
  void EnableControls(bool enable) override;
  bool SettingsToControls() override;
  bool ControlsToSettings() override;

 private:
  void ShowAddressSource();

  CTCPIPPageModel& m_tcpip;
  QButtonGroup* m_source;
  QRadioButton* m_automatic;
  QRadioButton* m_fixed;
  QPushButton* m_wbm;
  std::vector<QWidget*> m_fullLayoutOnly;
};

}  // namespace lanterna::gui
