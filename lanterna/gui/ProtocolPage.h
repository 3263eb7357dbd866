#pragma once

#include "gui/PageBase.h"
#include "pages/ProtocolPageModel.h"

namespace lanterna::gui {

// The device's network services, the web server's HTTP port and the SNMP trap managers.
class CProtocolPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CProtocolPage(CProtocolPageModel& model, IPageHost& host, QWidget* parent = nullptr);

 protected:
  void EnableControls(bool enable) override;
};

}  // namespace lanterna::gui
