#include "gui/EthernetIPPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/Markup.h"

namespace lanterna::gui {

namespace {

constexpr int kClassId = 100;

struct Field {
  const char* key;
  int id;
  int labelId;
  const char* title;
  int attributeId;
  const char* attribute;
  const char* description;
};

constexpr Field kCounts[] = {
    {"ETHERNETIP.BkFbInpVarCnt", 1120, 1169, "Fieldbus input variable count", 100, "Bk_FbInp_Var_Cnt",
     "Bytes of PLC fieldbus input variables added to the input assembly."},
    {"ETHERNETIP.BkFbOutVarCnt", 1123, 1122, "Fieldbus output variable count", 101, "Bk_FbOut_Var_Cnt",
     "Bytes of PLC fieldbus output variables added to the output assembly."},
    {"ETHERNETIP.BkFbInpPlcOnlyVarCnt", 1125, 1121, "PLC-only input variable count", 102,
     "Bk_FbInp_PlcOnly_Var_Cnt", "Bytes of PLC-only input variables in assembly instance 110."},
    {"ETHERNETIP.BkFbInpStartPlcVarCnt", 1129, 1170, "PLC-only input variable offset", 103,
     "Bk_FbInp_StartPlc_Var_Cnt", "Where the PLC-only input variables start."},
    {"ETHERNETIP.BkFbOutPlcOnlyVarCnt", 1127, 1124, "PLC-only output variable count", 104,
     "Bk_FbOut_PlcOnly_Var_Cnt", "Bytes of PLC-only output variables in assembly instance 111."},
    {"ETHERNETIP.BkFbOutStartPlcVarCnt", 1131, 1126, "PLC-only output variable offset", 105,
     "Bk_FbOut_StartPlc_Var_Cnt", "Where the PLC-only output variables start."},
};

constexpr Field kHeaders[] = {
    {"ETHERNETIP.HeaderCfgOT", 1116, 0, "RUN/IDLE header, originator to target", 120, "Bk_HeaderCfgOT",
     "Whether the originator's data carries the RUN/IDLE header."},
    {"ETHERNETIP.HeaderCfgTO", 1117, 0, "RUN/IDLE header, target to originator", 121, "Bk_HeaderCfgTO",
     "Whether the device's data carries the RUN/IDLE header."},
};

QString Hex(int value) { return QString("%1").arg(value, 2, 16, QChar('0')).toUpper(); }

}  // namespace

QString CEthernetIPPage::AttributeToolTip(const QString& title, int attributeId, const QString& name,
                                          const QString& description) {
  const QString markup =
      QString(
          "<tr><td><font color=#4C4C4C style=b>%1</font><br><table border=1><tr><td bgcolor=buttonface>Class "
          "ID</td><td bgcolor=window>%2 (0x%3)</td></tr><tr><td bgcolor=buttonface>Attribute ID</td><td "
          "bgcolor=white>%4 (0x%5)</td></tr><tr><td bgcolor=buttonface>Access</td><td "
          "bgcolor=white>%6</td></tr><tr><td bgcolor=buttonface>NV</td><td bgcolor=white>%7</td></tr><tr><td "
          "bgcolor=buttonface>Name</td><td bgcolor=white>%8</td></tr></tr><tr><td  "
          "bgcolor=buttonface>Description</td><td bgcolor=white>%9</td></tr></table></td>")
          .arg(title)
          .arg(kClassId)
          .arg(Hex(kClassId))
          .arg(attributeId)
          .arg(Hex(attributeId))
          .arg("SET", "NV", name, description);
  // The text is a row of a table: it needs one around it.
  return "<qt><table>" + ui::TranslateMarkup(markup) + "</table></qt>";
}

CEthernetIPPage::CEthernetIPPage(CEthernetIPPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "EtherNet/IP", host, parent) {
  auto* assembly = new QGroupBox("Assembly", this);
  auto* grid = new QGridLayout(assembly);
  int row = 0;
  for (const Field& field : kCounts) {
    QLabel* label = AddLabel(QString(field.title) + ":", field.labelId);
    QLineEdit* edit = AddNumberEdit(field.key, field.id, label);
    edit->setToolTip(AttributeToolTip(field.title, field.attributeId, field.attribute, field.description));
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1, Qt::AlignLeft);
    ++row;
  }
  grid->setColumnStretch(2, 1);

  auto* headers = new QGroupBox("RUN/IDLE header", this);
  auto* headerGrid = new QGridLayout(headers);
  row = 0;
  for (const Field& field : kHeaders) {
    QLabel* label = AddLabel(QString(field.title) + ":");
    QComboBox* combo = AddComboBox(field.key, field.id, label);
    combo->setToolTip(AttributeToolTip(field.title, field.attributeId, field.attribute, field.description));
    headerGrid->addWidget(label, row, 0);
    headerGrid->addWidget(combo, row, 1, Qt::AlignLeft);
    ++row;
  }
  headerGrid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(assembly);
  layout->addWidget(headers);
  layout->addStretch();
}

}  // namespace lanterna::gui
