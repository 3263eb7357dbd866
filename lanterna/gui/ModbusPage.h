#pragma once

#include "gui/PageBase.h"
#include "pages/ModbusPageModel.h"

namespace lanterna::gui {

// MODBUS/TCP: the connection watchdog; on the 32-bit generation also the watchdog
// configuration and timeout, the function-code masks, closing sockets and the connection count.
class CModbusPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CModbusPage(CModbusPageModel& model, IPageHost& host, QWidget* parent = nullptr);

 protected:
  void EnableControls(bool enable) override;
  bool SettingsToControls() override;
};

}  // namespace lanterna::gui
