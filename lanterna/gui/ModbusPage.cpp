#include "gui/ModbusPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lanterna::gui {

CModbusPage::CModbusPage(CModbusPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "Modbus", host, parent) {
  auto* connection = new QGroupBox("Connections", this);
  QLabel* watchdogLabel = AddLabel("Connection Watchdog:");
  QLineEdit* watchdog = AddNumberEdit("MODBUS.ConnectionWatchdog", 1066, watchdogLabel);
  QLabel* countLabel = AddLabel("Maximum Connections:", 1069);
  QLineEdit* count = AddNumberEdit("MODBUS.ConnectionCount", 1067, countLabel);
  count->setReadOnly(true);
  QCheckBox* close = AddCheckBox("MODBUS.CloseSockets", 1068, "Close Sockets after Watchdog Error");
  auto* connectionGrid = new QGridLayout(connection);
  AddFieldRow(connectionGrid, 0, watchdogLabel, watchdog);
  AddFieldRow(connectionGrid, 1, countLabel, count);
  connectionGrid->addWidget(close, 2, 0, 1, 2);
  connectionGrid->setColumnStretch(2, 1);

  auto* watchdogBox = new QGroupBox("Watchdog", this);
  QLabel* configLabel = AddLabel("Watchdog Configuration:", 1060);
  QComboBox* config = AddComboBox("MODBUS.WatchdogConfiguration", 1125, configLabel);
  QLabel* timeoutLabel = AddLabel("Watchdog Timeout (x 100 ms):", 1062);
  QLineEdit* timeout = AddNumberEdit("MODBUS.WatchdogTimeout", 1071, timeoutLabel);
  QLabel* masksLabel = AddLabel("Function codes that reset the watchdog:", 1129);
  QLabel* mask1Label = AddLabel("Function Code Mask 1 (1 to 16):", 1085);
  QLineEdit* mask1 = AddNumberEdit("MODBUS.TriggerMask1", 1064, mask1Label);
  QLabel* mask2Label = AddLabel("Function Code Mask 2 (17 to 32):", 1072);
  QLineEdit* mask2 = AddNumberEdit("MODBUS.TriggerMask2", 1070, mask2Label);
  auto* grid = new QGridLayout(watchdogBox);
  AddFieldRow(grid, 0, configLabel, config);
  AddFieldRow(grid, 1, timeoutLabel, timeout);
  grid->addWidget(masksLabel, 2, 0, 1, 2);
  AddFieldRow(grid, 3, mask1Label, mask1);
  AddFieldRow(grid, 4, mask2Label, mask2);
  grid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(connection);
  layout->addWidget(watchdogBox);
  layout->addStretch();

  AddToolTip(count, "Maximum Connections", "How many MODBUS connections the device accepts at once.");
  AddToolTip(close, "Close Sockets after Watchdog Error", "The device closes its MODBUS sockets when the watchdog runs out.");
  AddToolTip(config, "Watchdog Configuration", "How the watchdog is started and reset.");
  AddToolTip(timeout, "Watchdog Timeout", "The watchdog's time in multiples of 100 ms.");
  AddToolTip(mask1, "Function Code Mask 1", "One bit per function code 1 to 16 that resets the watchdog.");
  AddToolTip(mask2, "Function Code Mask 2", "One bit per function code 17 to 32 that resets the watchdog.");
}

void CModbusPage::EnableControls(bool enable) {
  CCouplerSettingsPageBase::EnableControls(enable);
  // Shown, not changeable, on the 32-bit generation.
  const bool is32 = Model().Is32();
  for (int id : {1067, 1069, 1129}) Control(id)->setEnabled(is32);
}

bool CModbusPage::SettingsToControls() {
  const bool result = CCouplerSettingsPageBase::SettingsToControls();
  // The watchdog's unit follows the generation.
  AddToolTip(Control(1066), "Connection Watchdog",
             Model().Is32() ? "Time without a request after which a connection is closed, in multiples of 100 ms "
                              "(e.g. 90 for 9 seconds)."
                            : "Time without a request after which a connection is closed, in ms (e.g. 9000 for 9 "
                              "seconds).");
  return result;
}

}  // namespace lanterna::gui
