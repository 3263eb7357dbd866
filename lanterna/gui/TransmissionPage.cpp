#include "gui/TransmissionPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>
#include <QVBoxLayout>

#include "ui/Markup.h"

namespace lanterna::gui {

CTransmissionPage::CTransmissionPage(CTransmissionPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "Transmission", host, parent), m_transmission(model) {
  auto* port = new QGroupBox("Ethernet port", this);
  QLabel* modeLabel = AddLabel("Speed/Duplex Mode:");
  QComboBox* mode = AddComboBox("TRAFFIC.SpeedDuplex", 1103, modeLabel);
  auto* portGrid = new QGridLayout(port);
  AddFieldRow(portGrid, 0, modeLabel, mode);
  portGrid->setColumnStretch(2, 1);

  auto* limiting = new QGroupBox("Bandwidth limiting", this);
  QCheckBox* on = AddCheckBox("TRAFFIC.BandwidthLimiting", 1104, "Bandwidth Limiting");
  QLabel* timeLabel = AddLabel("Activation Time:", 1105);
  QLabel* priorityLabel = AddLabel("Task Priority:", 1108);
  QLineEdit* time = AddNumberEdit("TRAFFIC.ActivationTime", 1106, timeLabel);
  QComboBox* priority = AddComboBox("TRAFFIC.TaskPriority", 1109, priorityLabel);
  auto* grid = new QGridLayout(limiting);
  grid->addWidget(on, 0, 0, 1, 2);
  AddFieldRow(grid, 1, timeLabel, time);
  AddFieldRow(grid, 2, priorityLabel, priority);
  grid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(port);
  layout->addWidget(limiting);
  layout->addStretch();
  connect(mode, &QComboBox::activated, this, [this] { OnSpeedDuplexChanged(); });

  AddToolTip(mode, "Speed/Duplex Mode", "How the port negotiates its speed and duplex mode.");
  AddToolTip(on, "Bandwidth Limiting", "Limits the load the network puts on the device.");
  AddToolTip(time, "Activation Time", "How long the load must last before the limiting starts.");
  AddToolTip(priority, "Task Priority", "Which tasks keep running while the limiting is active.");
}

void CTransmissionPage::OnSpeedDuplexChanged() {
  QWidget* mode = Control(1103);
  if (m_transmission.ShowsDuplexWarning()) {
    m_strWarning = ui::TranslateMarkup(CTransmissionPageModel::kDuplexWarning);
    const QPoint centre(mode->width() / 2, mode->height() / 2 - 12);
    QToolTip::showText(mode->mapToGlobal(centre), m_strWarning, mode);
  } else {
    m_strWarning.clear();
    QToolTip::hideText();
  }
}

}  // namespace lanterna::gui
