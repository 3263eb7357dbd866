#include "gui/ProtocolPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/IpAddressEdit.h"

namespace lanterna::gui {

CProtocolPage::CProtocolPage(CProtocolPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "Protocol", host, parent) {
  auto* services = new QGroupBox("Services", this);
  struct Switch {
    const char* key;
    int id;
    const char* caption;
    const char* tip;
  };
  const Switch switches[] = {
      {"PROTOCOL.FTP", 1026, "FTP", "File transfer to and from the device's file system."},
      {"PROTOCOL.SNTP", 1035, "SNTP", "The device sets its clock from an SNTP time server."},
      {"PROTOCOL.ModbusTCP", 1044, "MODBUS TCP", "MODBUS over TCP connections."},
      {"PROTOCOL.ModbusUDP", 1045, "MODBUS UDP", "MODBUS over UDP datagrams."},
      {"PROTOCOL.EtherNetIP", 1046, "EtherNet/IP", "The EtherNet/IP adapter of the device."},
      {"PROTOCOL.PLC", 1047, "PLC", "Communication with the PLC program."},
  };
  auto* grid = new QGridLayout(services);
  grid->addWidget(AddLabel("Switch the services of the device on or off:", 1082), 0, 0, 1, 3);
  int row = 1;
  for (const Switch& s : switches) {
    QCheckBox* check = AddCheckBox(s.key, s.id, s.caption);
    AddToolTip(check, s.caption, s.tip);
    grid->addWidget(check, 1 + (row - 1) / 3, (row - 1) % 3);
    ++row;
  }

  auto* web = new QGroupBox("Web server", this);
  QCheckBox* webServer = AddCheckBox("PROTOCOL.WebServer", 1022, "Web Server");
  QCheckBox* authentication = AddCheckBox("PROTOCOL.Authentication", 1048, "Authentification");
  QLabel* portLabel = AddLabel("HTTP-Port:", 1042);
  QLineEdit* port = AddNumberEdit("PROTOCOL.HttpPort", 1072, portLabel);
  auto* webGrid = new QGridLayout(web);
  webGrid->addWidget(webServer, 0, 0);
  webGrid->addWidget(authentication, 0, 1);
  AddFieldRow(webGrid, 1, portLabel, port);
  webGrid->setColumnStretch(2, 1);

  auto* snmpBox = new QGroupBox("SNMP", this);
  QCheckBox* snmp = AddCheckBox("PROTOCOL.SNMP", 1043, "SNMP");
  QLabel* trap1Label = AddLabel("SNMP Trap-Manager 1:", 1080);
  QLabel* trap2Label = AddLabel("SNMP Trap-Manager 2:", 1081);
  ui::CIpAddressEdit* trap1 = AddAddressEdit("PROTOCOL.TrapManager1", 1078, trap1Label);
  ui::CIpAddressEdit* trap2 = AddAddressEdit("PROTOCOL.TrapManager2", 1079, trap2Label);
  auto* snmpGrid = new QGridLayout(snmpBox);
  snmpGrid->addWidget(snmp, 0, 0, 1, 2);
  AddFieldRow(snmpGrid, 1, trap1Label, trap1);
  AddFieldRow(snmpGrid, 2, trap2Label, trap2);
  snmpGrid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(services);
  layout->addWidget(web);
  layout->addWidget(snmpBox);
  layout->addStretch();

  AddToolTip(webServer, "Web Server", "The device's web-based management.");
  AddToolTip(authentication, "Authentification", "The web server asks for a user name and password.");
  AddToolTip(port, "HTTP-Port", "The TCP port of the web server.");
  AddToolTip(snmp, "SNMP", "Network management by SNMP.");
  AddToolTip(trap1, "SNMP Trap-Manager 1", "The first address the device sends its SNMP traps to.");
  AddToolTip(trap2, "SNMP Trap-Manager 2", "The second address the device sends its SNMP traps to.");
}

void CProtocolPage::EnableControls(bool enable) {
  CCouplerSettingsPageBase::EnableControls(enable);
  // The services' note goes with the switches, which older devices do not have.
  Control(1082)->setEnabled(Model().Is32());
}

}  // namespace lanterna::gui
