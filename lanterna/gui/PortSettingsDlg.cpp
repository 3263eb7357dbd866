#include "gui/PortSettingsDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "Platform/SerialPortList.h"
#include "gui/PageBase.h"

namespace lanterna::gui {

namespace {

QComboBox* MakeList(QWidget* parent, int id, const QStringList& items, bool enabled) {
  auto* list = new QComboBox(parent);
  list->setObjectName(ControlName(id));
  list->addItems(items);
  list->setEnabled(enabled);
  return list;
}

// The list's select-string: the first entry that begins with the text, none when none does.
void SelectFirstBeginningWith(QComboBox* list, const std::string& value) {
  const QString text = QString::fromStdString(value);
  int found = -1;
  for (int i = 0; i < list->count() && found < 0; ++i)
    if (list->itemText(i).startsWith(text, Qt::CaseInsensitive)) found = i;
  list->setCurrentIndex(found);
}

}  // namespace

CPortSettingsDlg::CPortSettingsDlg(ORLA::CConnectionBase& connection, QWidget* parent,
                                   const std::filesystem::path& ttyClass)
    : QDialog(parent), m_connection(connection), m_strKeptSettings(connection.GetSettingsXML()) {
  setWindowTitle("COM-Port Settings");
  setObjectName("portSettings");
  QStringList ports;
  for (const auto& port : fennec::platform::ListSerialPorts(ttyClass))
    ports << QString::fromStdString(port.name + ": " + port.friendlyName);
  m_port = MakeList(this, 1001, ports, true);
  m_port->setMinimumContentsLength(28);
  m_baudrate = MakeList(this, 1002, {"300", "1200", "2400", "9600", "19200", "38400", "57600"}, false);
  m_parity = MakeList(this, 1004, {"None", "Odd", "Even", "Mark", "Space"}, false);
  m_bytesize = MakeList(this, 1006, {"5", "6", "7", "8"}, false);
  m_stopbits = MakeList(this, 1005, {"1", "1.5", "2"}, false);
  m_timeout = new QLineEdit(this);
  m_timeout->setObjectName(ControlName(1023));
  m_timeout->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), m_timeout));

  auto* form = new QFormLayout;
  form->addRow("COM-Port:", m_port);
  form->addRow("Baudrate:", m_baudrate);
  form->addRow("Parity:", m_parity);
  form->addRow("Bytesize:", m_bytesize);
  form->addRow("Stopbits:", m_stopbits);
  form->addRow("Timout (ms):", m_timeout);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(1));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(2));
  QPushButton* defaults = buttons->addButton("&Default", QDialogButtonBox::ResetRole);
  defaults->setObjectName(ControlName(1007));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(buttons, &QDialogButtonBox::accepted, this, &CPortSettingsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CPortSettingsDlg::reject);
  connect(defaults, &QPushButton::clicked, this, &CPortSettingsDlg::OnDefault);
  ShowSettings();
  for (QComboBox* list : {m_port, m_baudrate, m_parity, m_bytesize, m_stopbits})
    connect(list, &QComboBox::activated, this, &CPortSettingsDlg::ApplyControls);
}

void CPortSettingsDlg::ShowSettings() {
  SelectFirstBeginningWith(m_port, m_connection.GetSettingsValue("device"));
  SelectFirstBeginningWith(m_baudrate, m_connection.GetSettingsValue("baudrate"));
  SelectFirstBeginningWith(m_parity, m_connection.GetSettingsValue("parity"));
  SelectFirstBeginningWith(m_bytesize, m_connection.GetSettingsValue("databits"));
  SelectFirstBeginningWith(m_stopbits, m_connection.GetSettingsValue("stopbits"));
  m_timeout->setText(QString::number(QString::fromStdString(m_connection.GetSettingsValue("timeout")).toUInt()));
}

std::string CPortSettingsDlg::ControlsDocument() const {
  // The port's name is the entry up to its first ":"; a name from the system must not break the
  // document. The other lists hold fixed texts.
  const std::string port = m_port->currentText().section(':', 0, 0).toHtmlEscaped().toStdString();
  auto value = [](const QComboBox* list) { return list->currentText().toStdString(); };
  return "<?xml version='1.0'?><RS232 device=\"" + port + "\" baudrate='" + value(m_baudrate) + "' parity='" +
         value(m_parity) + "' databits='" + value(m_bytesize) + "' stopbits='" + value(m_stopbits) + "' timeout='" +
         std::to_string(m_timeout->text().toUInt()) + "' />";
}

void CPortSettingsDlg::ApplyControls() { m_connection.SetSettingsXML(ControlsDocument()); }

void CPortSettingsDlg::OnDefault() {
  m_connection.SetSettingsToDefault();
  ShowSettings();
}

void CPortSettingsDlg::accept() {
  ApplyControls();
  QDialog::accept();
}

void CPortSettingsDlg::reject() {
  m_connection.SetSettingsXML(m_strKeptSettings);
  QDialog::reject();
}

}  // namespace lanterna::gui
