#include "gui/PFCPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace lanterna::gui {

CPFCPage::CPFCPage(CPFCPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "PFC", host, parent), m_pfc(model) {
  auto* outputs = new QGroupBox("Process image", this);
  QCheckBox* reset = AddCheckBox("PFC.ResetOutputs", 1135, "Reset outputs on PLC stop");
  auto* outputsLayout = new QVBoxLayout(outputs);
  outputsLayout->addWidget(reset);
  outputsLayout->addWidget(AddLabel("The outputs are set to zero when the PLC is stopped."));

  auto* target = new QGroupBox("Target-ID", this);
  target->setObjectName("targetBox");
  QCheckBox* alternative = AddCheckBox("PFC.AlternativeTargetId", 1136, "Use alternative Target-ID");
  auto* targetLayout = new QVBoxLayout(target);
  targetLayout->addWidget(AddLabel("Controllers with firmware 11 and earlier answer with another Target-ID.", 1171));
  targetLayout->addWidget(alternative);
  targetLayout->addWidget(AddLabel("Switch it on only where a client expects the older Target-ID.", 1172));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(outputs);
  layout->addWidget(target);
  layout->addStretch();
  AddToolTip(reset, "Reset outputs on PLC stop", "Sets all outputs to zero when the PLC program stops.");
  AddToolTip(alternative, "Use alternative Target-ID",
             "The controller uses the Target-ID of firmware 11 and earlier.");
}

void CPFCPage::ShowControls(int) {
  const bool offered = m_pfc.OffersAlternativeTargetId();
  findChild<QWidget*>("targetBox")->setVisible(offered);
}

}  // namespace lanterna::gui
