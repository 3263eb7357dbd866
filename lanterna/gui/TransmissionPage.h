#pragma once

#include "gui/PageBase.h"
#include "pages/TransmissionPageModel.h"

namespace lanterna::gui {

// Speed and duplex mode of the Ethernet port, bandwidth limiting, activation time and task
// priority; a warning for a fixed full-duplex mode.
class CTransmissionPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CTransmissionPage(CTransmissionPageModel& model, IPageHost& host, QWidget* parent = nullptr);

  // The duplex warning's text while it is shown, else empty.
  QString DuplexWarningShown() const { return m_strWarning; }

 private:
  void OnSpeedDuplexChanged();

  CTransmissionPageModel& m_transmission;
  QString m_strWarning;
};

}  // namespace lanterna::gui
