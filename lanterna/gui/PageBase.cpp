#include "gui/PageBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

#include "base/Ipv4Address.h"
#include "ui/Balloon.h"
#include "ui/IpAddressEdit.h"
#include "ui/Markup.h"

namespace lanterna::gui {

bool g_bPagesSettingUp = false;

QString ControlName(int id) { return QString("ctl%1").arg(id); }

CCouplerSettingsPageBase::CCouplerSettingsPageBase(CCouplerSettingsPageModel& model, QString tabTitle,
                                                   IPageHost& host, QWidget* parent)
    : QWidget(parent), m_model(model), m_strTabTitle(std::move(tabTitle)), m_host(host) {
  g_bPagesSettingUp = true;
  setObjectName("page" + QString::fromStdString(model.GetSection()));
}

QWidget* CCouplerSettingsPageBase::Control(int id) const { return findChild<QWidget*>(ControlName(id)); }

bool CCouplerSettingsPageBase::OnSetActive() {
  if (!m_model.IsPageUsed()) return false;
  m_bActive = true;
  // The page shows the image as it is now: another page may have changed a shared register.
  if (m_model.IsLoaded()) m_model.ReloadFromImage();
  UpdateControls();
  ValidateSettings();
  return true;
}

bool CCouplerSettingsPageBase::OnKillActive() {
  if (!ValidateSettings()) return false;
  UpdateSettings();
  m_model.CommitSettings();
  m_bActive = false;
  QToolTip::hideText();
  return true;
}

bool CCouplerSettingsPageBase::UpdateControls() {
  if (!m_bActive || g_bPagesSettingUp) return false;
  m_bUpdating = true;
  ShowControls(5);
  EnableControls(true);
  const bool result = SettingsToControls();
  m_bUpdating = false;
  return result;
}

bool CCouplerSettingsPageBase::UpdateSettings() {
  if (!m_bActive || g_bPagesSettingUp) return false;
  const bool result = ControlsToSettings();
  ShowControls(5);
  EnableControls(true);
  return result;
}

bool CCouplerSettingsPageBase::ValidateSettings() {
  const std::optional<ValidationFailure> failure = m_model.ValidateSettings();
  if (!failure) return true;
  if (m_bActive && !g_bPagesSettingUp) ShowFailure(*failure);
  return false;
}

void CCouplerSettingsPageBase::ShowFailure(const ValidationFailure& failure) {
  QWidget* control = ControlOf(failure.key);
  if (!control) return;
  ui::CBalloon::ShowAt(control, QString::fromStdString(failure.title), QString::fromStdString(failure.message));
  control->setFocus();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
}

void CCouplerSettingsPageBase::NotifySettingsChanged(int flag) {
  if (m_bUpdating || !m_bActive || g_bPagesSettingUp) return;
  m_host.SettingsChanged(flag);
}

void CCouplerSettingsPageBase::ShowState(int, const QString&) {}

void CCouplerSettingsPageBase::ShowControls(int) {}

void CCouplerSettingsPageBase::EnableControls(bool) {
  for (const Binding& binding : m_bindings) {
    const bool enabled = binding.parameter->Enabled();
    binding.control->setEnabled(enabled);
    if (binding.label) binding.label->setEnabled(enabled);
  }
}

bool CCouplerSettingsPageBase::SettingsToControls() {
  for (const Binding& binding : m_bindings) ParameterToControl(binding);
  return true;
}

bool CCouplerSettingsPageBase::ControlsToSettings() {
  for (const Binding& binding : m_bindings) ControlToParameter(binding);
  return true;
}

void CCouplerSettingsPageBase::ParameterToControl(const Binding& binding) {
  const QString text = QString::fromStdString(binding.parameter->Text());
  if (auto* edit = qobject_cast<QLineEdit*>(binding.control)) {
    if (edit->text() != text) edit->setText(text);
  } else if (auto* check = qobject_cast<QCheckBox*>(binding.control)) {
    check->setChecked(text == "1");
  } else if (auto* address = qobject_cast<ui::CIpAddressEdit*>(binding.control)) {
    address->SetAddress(DottedToAddress(text.toStdString()));
  } else if (auto* combo = qobject_cast<QComboBox*>(binding.control)) {
    const auto& items = static_cast<CListParameter*>(binding.parameter)->Items();
    QStringList wanted;
    for (const std::string& item : items) wanted << QString::fromStdString(item);
    QStringList present;
    for (int i = 0; i < combo->count(); ++i) present << combo->itemText(i);
    if (present != wanted) {
      combo->clear();
      combo->addItems(wanted);
    }
    int index = -1;
    for (int i = 0; i < wanted.size() && !text.isEmpty(); ++i)
      if (wanted[i].trimmed() == text) index = i;
    combo->setCurrentIndex(index);
  }
}

void CCouplerSettingsPageBase::ControlToParameter(const Binding& binding) {
  CPageParameter& parameter = *binding.parameter;
  if (!parameter.Editable()) return;
  std::string text;
  if (auto* edit = qobject_cast<QLineEdit*>(binding.control)) {
    text = edit->text().toStdString();
  } else if (auto* check = qobject_cast<QCheckBox*>(binding.control)) {
    text.assign(1, check->isChecked() ? '1' : '0');
  } else if (auto* address = qobject_cast<ui::CIpAddressEdit*>(binding.control)) {
    text = address->Text().toStdString();
  } else if (auto* combo = qobject_cast<QComboBox*>(binding.control)) {
    if (combo->currentIndex() < 0) return;
    text = combo->currentText().toStdString();
  }
  // A refused value keeps its failure in the model, where the page's check finds it.
  (void)parameter.SetText(text);
}

CPageParameter& CCouplerSettingsPageBase::Parameter(std::string_view key) const {
  CPageParameter* parameter = m_model.FindParameter(key);
  Q_ASSERT_X(parameter, "Parameter", "a page binds only its model's parameters");
  return *parameter;
}

QWidget* CCouplerSettingsPageBase::ControlOf(std::string_view key) const {
  for (const Binding& binding : m_bindings)
    if (binding.parameter->Key() == key) return binding.control;
  return nullptr;
}

template <class Control>
Control* CCouplerSettingsPageBase::Bind(const char* key, int id, QLabel* label) {
  auto* control = new Control(this);
  control->setObjectName(ControlName(id));
  m_bindings.push_back({&Parameter(key), control, label});
  if (label) label->setBuddy(control);
  return control;
}

QLineEdit* CCouplerSettingsPageBase::AddNumberEdit(const char* key, int id, QLabel* label) {
  auto* edit = Bind<QLineEdit>(key, id, label);
  CPageParameter& parameter = Parameter(key);
  connect(edit, &QLineEdit::textChanged, this, [this, edit, &parameter] {
    if (m_bUpdating) return;
    ValidateEdit(edit, parameter);
    NotifySettingsChanged(1);
  });
  return edit;
}

QLineEdit* CCouplerSettingsPageBase::AddTextEdit(const char* key, int id, QLabel* label) {
  auto* edit = Bind<QLineEdit>(key, id, label);
  if (auto* text = dynamic_cast<CTextParameter*>(&Parameter(key)))
    edit->setMaxLength(static_cast<int>(text->MaxLength()));
  CPageParameter& parameter = Parameter(key);
  connect(edit, &QLineEdit::textChanged, this, [this, edit, &parameter] {
    if (m_bUpdating) return;
    (void)parameter.SetText(edit->text().toStdString());
    NotifySettingsChanged(1);
  });
  return edit;
}

QCheckBox* CCouplerSettingsPageBase::AddCheckBox(const char* key, int id, const QString& caption) {
  auto* check = Bind<QCheckBox>(key, id, nullptr);
  check->setText(caption);
  connect(check, &QCheckBox::clicked, this, [this] {
    if (!m_bUpdating) OnGenericChange();
  });
  return check;
}

QComboBox* CCouplerSettingsPageBase::AddComboBox(const char* key, int id, QLabel* label) {
  auto* combo = Bind<QComboBox>(key, id, label);
  connect(combo, &QComboBox::activated, this, [this] {
    if (!m_bUpdating) OnGenericChange();
  });
  return combo;
}

ui::CIpAddressEdit* CCouplerSettingsPageBase::AddAddressEdit(const char* key, int id, QLabel* label) {
  auto* address = Bind<ui::CIpAddressEdit>(key, id, label);
  connect(address, &ui::CIpAddressEdit::FieldChanged, this, [this] {
    if (!m_bUpdating) OnGenericChange();
  });
  return address;
}

QLabel* CCouplerSettingsPageBase::AddLabel(const QString& text, int id) {
  auto* label = new QLabel(text, this);
  if (id != 0) label->setObjectName(ControlName(id));
  return label;
}

void CCouplerSettingsPageBase::AddFieldRow(QGridLayout* grid, int row, QWidget* label, QWidget* field) {
  grid->addWidget(label, row, 0);
  grid->addWidget(field, row, 1, Qt::AlignLeft);
}

void CCouplerSettingsPageBase::AddToolTip(QWidget* control, const QString& title, const QString& body) {
  control->setToolTip(ui::ToolTipText(title, body));
}

bool CCouplerSettingsPageBase::ValidateEdit(QLineEdit* edit, CPageParameter& parameter) {
  if (m_bUpdating) return true;
  if (!m_bActive || g_bPagesSettingUp) {
    auto* number = dynamic_cast<CNumberParameter*>(&parameter);
    return !number || !number->Validate();
  }
  const std::optional<ValidationFailure> failure = parameter.SetText(edit->text().toStdString());
  if (!failure) return true;
  ui::CBalloon::ShowAt(edit, QString::fromStdString(failure->title), QString::fromStdString(failure->message));
  edit->setFocus();
  edit->selectAll();
  return false;
}

void CCouplerSettingsPageBase::OnGenericChange() {
  UpdateSettings();
  NotifySettingsChanged(1);
}

}  // namespace lanterna::gui
