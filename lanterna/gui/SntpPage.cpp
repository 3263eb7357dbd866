#include "gui/SntpPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/IpAddressEdit.h"

namespace lanterna::gui {

CSntpPage::CSntpPage(CSntpPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "SNTP", host, parent) {
  auto* box = new QGroupBox("SNTP client", this);
  QCheckBox* client = AddCheckBox("SNTP.Client", 1101, "SNTP");
  QLabel* serverLabel = AddLabel("SNTP-Time Server:", 1093);
  QLabel* intervalLabel = AddLabel("Update interval (s):", 1095);
  QLabel* timeoutLabel = AddLabel("Timeout (ms):", 1097);
  ui::CIpAddressEdit* server = AddAddressEdit("SNTP.TimeServer", 1094, serverLabel);
  QLineEdit* interval = AddNumberEdit("SNTP.ClientInterval", 1096, intervalLabel);
  QLineEdit* timeout = AddNumberEdit("SNTP.ClientTimeout", 1098, timeoutLabel);
  auto* grid = new QGridLayout(box);
  grid->addWidget(client, 0, 0, 1, 2);
  AddFieldRow(grid, 1, serverLabel, server);
  AddFieldRow(grid, 2, intervalLabel, interval);
  AddFieldRow(grid, 3, timeoutLabel, timeout);
  grid->setColumnStretch(2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addStretch();

  // Switching the client on leads straight to its server.
  connect(client, &QCheckBox::clicked, this, [server] { server->setFocus(); });
  AddToolTip(client, "SNTP", "The device sets its clock from an SNTP time server.");
  AddToolTip(server, "SNTP-Time Server", "The address of the time server.");
  AddToolTip(interval, "SNTP Client Interval", "Seconds between two requests to the time server.");
  AddToolTip(timeout, "SNTP Client Timeout", "Milliseconds the device waits for the time server's answer.");
}

}  // namespace lanterna::gui
