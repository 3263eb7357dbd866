#include "gui/TCPIPPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "gui/Browser.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"

namespace lanterna::gui {

namespace {
constexpr const char* kSource = "TCPIP.AddressSource";
}  // namespace

CTCPIPPage::CTCPIPPage(CTCPIPPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "TCP/IP", host, parent), m_tcpip(model) {
  auto* addresses = new QGroupBox("IP-Address", this);
  m_automatic = new QRadioButton("Get addresses automatically", addresses);
  m_automatic->setObjectName(ControlName(1036));
  m_fixed = new QRadioButton("Use following addresses", addresses);
  m_fixed->setObjectName(ControlName(1058));
  m_source = new QButtonGroup(this);
  m_source->addButton(m_automatic, CTCPIPPageModel::kAutomatic);
  m_source->addButton(m_fixed, CTCPIPPageModel::kFixed);
  QLabel* serverLabel = AddLabel("Server:", 1139);
  QComboBox* server = AddComboBox("TCPIP.Server", 1034, serverLabel);
  server->setMinimumContentsLength(14);
  QLabel* ipLabel = AddLabel("IP-Address:");
  QLabel* maskLabel = AddLabel("Subnet Mask:");
  QLabel* gatewayLabel = AddLabel("Gateway:");
  ui::CIpAddressEdit* ip = AddAddressEdit("TCPIP.IPAddress", 1039, ipLabel);
  ui::CIpAddressEdit* mask = AddAddressEdit("TCPIP.SubnetMask", 1040, maskLabel);
  ui::CIpAddressEdit* gateway = AddAddressEdit("TCPIP.Gateway", 1041, gatewayLabel);
  QCheckBox* bootP = AddCheckBox("TCPIP.BootP", 1030, "BootP-Server");

  auto* grid = new QGridLayout(addresses);
  grid->addWidget(m_automatic, 0, 0, 1, 2);
  grid->addWidget(serverLabel, 0, 2, Qt::AlignRight);
  grid->addWidget(server, 0, 3);
  grid->addWidget(m_fixed, 1, 0, 1, 2);
  grid->addWidget(bootP, 2, 0, 1, 2);
  grid->addWidget(ipLabel, 3, 1);
  grid->addWidget(ip, 3, 2, 1, 2, Qt::AlignLeft);
  grid->addWidget(maskLabel, 4, 1);
  grid->addWidget(mask, 4, 2, 1, 2, Qt::AlignLeft);
  grid->addWidget(gatewayLabel, 5, 1);
  grid->addWidget(gateway, 5, 2, 1, 2, Qt::AlignLeft);
  grid->setColumnMinimumWidth(0, 16);
  grid->setColumnStretch(4, 1);

  auto* dnsBox = new QGroupBox("DNS", this);
  QLabel* dns1Label = AddLabel("Prefered DNS-Server:", 1015);
  QLabel* dns2Label = AddLabel("Alternative DNS-Server:", 1017);
  ui::CIpAddressEdit* dns1 = AddAddressEdit("TCPIP.PreferredDNS", 1043, dns1Label);
  ui::CIpAddressEdit* dns2 = AddAddressEdit("TCPIP.AlternativeDNS", 1044, dns2Label);
  auto* dnsGrid = new QGridLayout(dnsBox);
  AddFieldRow(dnsGrid, 0, dns1Label, dns1);
  AddFieldRow(dnsGrid, 1, dns2Label, dns2);
  dnsGrid->setColumnStretch(2, 1);

  m_wbm = new QPushButton("Call WBM", this);
  m_wbm->setObjectName(ControlName(1137));
  m_wbm->setAutoDefault(false);
  auto* layout = new QGridLayout(this);
  layout->addWidget(addresses, 0, 0, 1, 2);
  layout->addWidget(dnsBox, 1, 0, 1, 2);
  layout->addWidget(m_wbm, 2, 1, Qt::AlignRight);
  layout->setRowStretch(3, 1);
  m_fullLayoutOnly = {m_automatic, m_fixed, server, dnsBox, dns1, dns2, serverLabel, dns1Label, dns2Label};

  connect(m_fixed, &QRadioButton::clicked, this, [this, ip] {
    UpdateSettings();
    NotifySettingsChanged(1);
    ip->setFocus();
  });
  connect(m_automatic, &QRadioButton::clicked, this, [this] {
    m_bUpdating = true;
    CCouplerSettingsPageBase::SettingsToControls();
    m_bUpdating = false;
    UpdateSettings();
    ValidateSettings();
    NotifySettingsChanged(1);
  });
  connect(m_wbm, &QPushButton::clicked, this, [this] { CallWebBasedManagement(); });

  AddToolTip(bootP, "BootP-Server", "The device asks a BootP server for its IP address at start-up.");
  AddToolTip(m_automatic, "Get addresses automatically",
             "The device gets its IP address, subnet mask and gateway from a server or by Auto-IP.");
  AddToolTip(m_fixed, "Use following addresses", "The device uses the fixed addresses given below.");
  AddToolTip(server, "BootP-Server / DHCP-Server", "Where the device gets its addresses from.");
  AddToolTip(ip, "IP-Address", "The device's own IP address.");
  AddToolTip(mask, "Subnet Mask", "The subnet mask of the device's network.");
  AddToolTip(gateway, "Gateway", "The router through which the device reaches other networks.");
  AddToolTip(dns1, "Prefered DNS-Server", "The name server the device asks first.");
  AddToolTip(dns2, "Alternative DNS-Server", "The name server the device asks when the first does not answer.");
  AddToolTip(m_wbm, "Call WBM", "Opens the device's web-based management in the browser.");
}

void CTCPIPPage::ShowControls(int) {
  const bool full = m_tcpip.Is32();
  for (QWidget* control : m_fullLayoutOnly) control->setVisible(full);
  Control(1030)->setVisible(!full);
}

void CTCPIPPage::EnableControls(bool enable) {
  CCouplerSettingsPageBase::EnableControls(enable);
  const bool full = m_tcpip.Is32();
  const bool fixed = full && Parameter(kSource).Text() != "Get addresses automatically";
  m_automatic->setEnabled(full);
  m_fixed->setEnabled(full);
  Control(1030)->setEnabled(!full);
  m_wbm->setEnabled(fixed);
}

void CTCPIPPage::ShowAddressSource() {
  const std::string source = Parameter(kSource).Text();
  m_source->setExclusive(false);
  m_automatic->setChecked(source == "Get addresses automatically");
  m_fixed->setChecked(source == "Use following addresses");
  m_source->setExclusive(true);
}

bool CTCPIPPage::SettingsToControls() {
  const bool result = CCouplerSettingsPageBase::SettingsToControls();
  ShowAddressSource();
  return result;
}

bool CTCPIPPage::ControlsToSettings() {
  QAbstractButton* checked = m_source->checkedButton();
  if (m_tcpip.Is32() && checked)
    (void)Parameter(kSource).SetText(checked->text().toStdString());
  return CCouplerSettingsPageBase::ControlsToSettings();
}

void CTCPIPPage::CallWebBasedManagement() {
  if (IsSettingsModified() != 0) {
    const QString question =
        "The new settings were not written yet to the device.\n\n"
        "Do you want to write the new settings to the\ndevice before connecting it via browser?";
    if (ui::ShowMessage(question, 308, ui::kStyleYesNo | ui::kDefaultButton2, {}, this) == ui::kIdYes)
      Host().RequestWrite();
  }
  OpenInBrowser("http://" + static_cast<ui::CIpAddressEdit*>(Control(1039))->Text());
}

}  // namespace lanterna::gui
