#include "gui/NetworkPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lanterna::gui {

CNetworkPage::CNetworkPage(CNetworkPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "Network", host, parent) {
  auto* box = new QGroupBox("Names", this);
  QLabel* hostLabel = AddLabel("Host Name:");
  QLabel* domainLabel = AddLabel("Domain:");
  QLineEdit* hostName = AddTextEdit("NETWORK.HostName", 1074, hostLabel);
  QLineEdit* domain = AddTextEdit("NETWORK.Domain", 1075, domainLabel);
  auto* grid = new QGridLayout(box);
  grid->addWidget(hostLabel, 0, 0);
  grid->addWidget(hostName, 0, 1);
  grid->addWidget(domainLabel, 1, 0);
  grid->addWidget(domain, 1, 1);
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addStretch();
  AddToolTip(hostName, "Host Name", "The name of the device in the network, up to 31 characters.");
  AddToolTip(domain, "Domain", "The domain the device belongs to, up to 31 characters.");
}

}  // namespace lanterna::gui
